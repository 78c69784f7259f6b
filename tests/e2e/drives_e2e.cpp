// Drives plugged and pulled: the master and target lists, the set-master
// prompt, and the busy state of the master census.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "driver/session.h"

namespace e2e {
namespace {

using namespace usbdup;

const char kWaiting[] = "等待执行操作...";
const char kMaster[] = "范本母盘";

// Which window of w's thread has the keyboard focus, for failure messages.
std::string focusOf(HWND w) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info) || !info.hwndFocus) return "none";
  HWND f = info.hwndFocus;
  return className(f) + " id " + std::to_string(GetDlgCtrlID(f)) + (IsWindowVisible(f) ? "" : " (hidden)") +
         (IsWindowEnabled(f) ? "" : " (disabled)") + " in " + className(GetAncestor(f, GA_ROOT));
}

class DrivesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app.start());
  }
  // A folder standing for a stick, with one file so that it is not empty.
  std::string stick(const std::string& name) {
    std::string path = tmp / name;
    makeFolders(path);
    writeFile(path + "\\readme.txt", name);
    return path;
  }
  // 40,000 empty files in 400 folders, made on the Unix side in one go: a
  // census of it lasts long enough to be seen. Empty on failure.
  std::string bigTree() {
    std::string big = tmp / "big";
    makeFolders(big);
    std::string unixBig = unixPathOf(big);
    if (unixBig.empty()) return "";
    int rc = runUnix("cd " + shellQuote(unixBig) +
                     " && awk 'BEGIN { for (d = 1; d <= 400; d++) print \"d\" d }' | xargs mkdir"
                     " && awk 'BEGIN { for (d = 1; d <= 400; d++) for (f = 1; f <= 100; f++) print \"d\" d \"/\" f }'"
                     " | xargs touch");
    return rc == 0 ? big : "";
  }
  // Targets keep "等待执行操作..." for good: with copying off and formatting
  // on, a dispatched job leaves the row as it is.
  void keepTargetsWaiting() {
    setChecked(app.control(idCopySwitch), false);
    setChecked(app.control(idFormatSwitch), true);
  }

  TempFolder tmp{"drv"};
  Session app{tmp / "prog"};
};

TEST_F(DrivesTest, SetMasterTakesEveryDriveOfTheNotice) {
  ASSERT_TRUE(app.insert('R', stick("m1")));
  ASSERT_TRUE(app.insert('S', stick("m2")));
  clickPosted(app.control(idSetMasterButton));
  HWND box = waitForMessageBox(app.pid(), kSetMasterTitle);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(messageBoxText(box),
            "请将作为范本母本的设备插入电脑，完成后单击确定！\r\n\r\n"
            "提示：请等待设备插入后被软件成功识别时再点击确定关闭本对话框！");
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr) << "an OK box";
  EXPECT_FALSE(IsWindowEnabled(app.window())) << "task-modal: the window takes no input meanwhile";

  // Both drives in one notice, while the prompt is open.
  ASSERT_TRUE(app.plug("RS"));
  EXPECT_EQ(app.masterRows(), (Rows{{"R:\\", kMaster}, {"S:\\", kMaster}}));
  EXPECT_TRUE(app.targetRows().empty());
  ASSERT_TRUE(answerMessageBox(box, IDOK));
  ASSERT_TRUE(app.waitIdle());
  EXPECT_EQ(app.masterRows(), (Rows{{"R:\\", kMaster}, {"S:\\", kMaster}}));

  // After the prompt, a drive is a target again; a second use of the button
  // adds to the masters already listed.
  keepTargetsWaiting();
  ASSERT_TRUE(app.insert('T', stick("t1")));
  ASSERT_TRUE(app.plug("T"));
  EXPECT_EQ(app.targetRows(), (Rows{{"T:\\", kWaiting}}));
  ASSERT_TRUE(app.insert('U', stick("m3")));
  ASSERT_TRUE(app.setMasters("U"));
  EXPECT_EQ(app.masterRows(), (Rows{{"R:\\", kMaster}, {"S:\\", kMaster}, {"U:\\", kMaster}}));
}

TEST_F(DrivesTest, TargetsGetConsecutiveRowValuesInArrivalOrder) {
  keepTargetsWaiting();
  for (char l : std::string("TUV")) ASSERT_TRUE(app.insert(l, stick(std::string("t") + l)));
  ASSERT_TRUE(app.plug("VT"));  // one notice: rows in letter order, T first
  ASSERT_TRUE(app.plug("U"));
  ASSERT_TRUE(app.plug("T"));   // still listed: a second row, a second job
  EXPECT_EQ(app.targetRows(), (Rows{{"T:\\", kWaiting}, {"V:\\", kWaiting}, {"U:\\", kWaiting}, {"T:\\", kWaiting}}));
  EXPECT_EQ(app.targetValues(), (std::vector<long long>{0, 1, 2, 3}));
  EXPECT_TRUE(app.masterRows().empty());

  // A notice that names no letter changes nothing.
  ASSERT_TRUE(sendVolumeArrival(app.window(), 1u << 26));
  EXPECT_EQ(app.targetRows().size(), 4u);

  // Rows stay as they are while the jobs are dispatched (a second apart).
  EXPECT_EQ(app.watchStatus(3, 2500), std::vector<std::string>{kWaiting});
  EXPECT_EQ(app.targetRows(), (Rows{{"T:\\", kWaiting}, {"V:\\", kWaiting}, {"U:\\", kWaiting}, {"T:\\", kWaiting}}));
}

TEST_F(DrivesTest, PulledDrivesLeaveTheirRows) {
  keepTargetsWaiting();
  ASSERT_TRUE(app.insert('R', stick("m1")));
  ASSERT_TRUE(app.insert('S', stick("m2")));
  ASSERT_TRUE(app.setMasters("RS"));
  for (char l : std::string("TU")) ASSERT_TRUE(app.insert(l, stick(std::string("t") + l)));
  ASSERT_TRUE(app.plug("TU"));
  ASSERT_TRUE(app.plug("T"));
  ASSERT_EQ(app.targetValues(), (std::vector<long long>{0, 1, 2}));

  // Only the first row of a drive goes; later rows keep their values.
  ASSERT_TRUE(app.pull("T"));
  EXPECT_EQ(app.targetRows(), (Rows{{"U:\\", kWaiting}, {"T:\\", kWaiting}}));
  EXPECT_EQ(app.targetValues(), (std::vector<long long>{1, 2}));

  // A master leaves its list (and a census runs); targets are untouched.
  ASSERT_TRUE(app.pull("R"));
  ASSERT_TRUE(app.waitIdle());
  EXPECT_EQ(app.masterRows(), (Rows{{"S:\\", kMaster}}));
  EXPECT_EQ(app.targetRows().size(), 2u);

  // Letters no list holds change nothing; two drives in one notice both go.
  ASSERT_TRUE(app.pull("X"));
  EXPECT_EQ(app.targetRows().size(), 2u);
  EXPECT_EQ(app.masterRows().size(), 1u);
  ASSERT_TRUE(app.pull("TS"));
  ASSERT_TRUE(app.waitIdle());
  EXPECT_EQ(app.targetRows(), (Rows{{"U:\\", kWaiting}}));
  EXPECT_TRUE(app.masterRows().empty());
}

// The count itself is not shown; its effect is: the percentages of a copy
// are copied files / counted files. Files large enough that every progress
// text stays on screen for a while.
TEST_F(DrivesTest, CensusCountsEveryFileOfTheMasterAndNoFolder) {
  std::string master = tmp / "master";
  for (const char* folder : {"", "\\sub", "\\empty"}) makeFolders(master + folder);
  std::string unixMaster = unixPathOf(master);
  ASSERT_EQ(runUnix("cd " + shellQuote(unixMaster) +
                    " && for f in a b c sub/d sub/e; do head -c 33554432 /dev/zero > $f.bin || exit 1; done"),
            0);
  std::string target = tmp / "target";
  makeFolders(target);
  ASSERT_TRUE(app.insert('R', master));
  ASSERT_TRUE(app.insert('T', target));
  ASSERT_TRUE(app.setMasters("R"));
  ASSERT_TRUE(isChecked(app.control(idCopySwitch)));
  ASSERT_TRUE(app.plug("T"));
  std::vector<std::string> seen = app.watchStatus(0, 60000, "复制完成，请拔除！");
  ASSERT_EQ(seen.back(), "复制完成，请拔除！");
  std::vector<std::string> percents;
  for (const std::string& text : seen)
    if (text.rfind("正在复制...(", 0) == 0) percents.push_back(text);
  // 5 files: 20, 40, 60, 80, 100. Another count gives other steps (4: 25,
  // 50...; 6: 16, 33...), so three of them seen settle it.
  const std::vector<std::string> five = {"正在复制...(20%)", "正在复制...(40%)", "正在复制...(60%)",
                                         "正在复制...(80%)", "正在复制...(100%)"};
  for (const std::string& p : percents)
    EXPECT_NE(std::find(five.begin(), five.end(), p), five.end()) << p;
  EXPECT_GE(percents.size(), 3u) << "too few progress texts seen to tell the count";
  std::printf("progress texts seen: %zu of 5\n", percents.size());
  EXPECT_TRUE(isFile(target + "\\sub\\e.bin"));
  EXPECT_TRUE(isFolder(target + "\\sub"));
}

TEST_F(DrivesTest, WindowIsBusyButAnswersWhileALargeMasterIsCounted) {
  std::string big = bigTree();
  ASSERT_FALSE(big.empty());
  ASSERT_TRUE(app.insert('Y', big));
  clickPosted(app.control(idSetMasterButton));
  HWND box = waitForMessageBox(app.pid(), kSetMasterTitle);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(app.plug("Y"));
  ASSERT_TRUE(answerMessageBox(box, IDOK));

  ASSERT_TRUE(waitUntil([&] { return app.busy(); }, 10000, 1)) << "the busy state never showed";
  long long slowest = 0;
  int pings = 0;
  DWORD began = GetTickCount();
  while (app.busy()) {
    long long us = pingMicros(app.window(), 5000);
    ASSERT_GE(us, 0) << "the window stopped answering during the census";
    slowest = us > slowest ? us : slowest;
    ++pings;
    Sleep(5);
  }
  ASSERT_TRUE(app.waitIdle());
  EXPECT_GT(pings, 0);
  std::printf("census of 40000 files: busy %lu ms, %d round trips, slowest %lld us\n", GetTickCount() - began,
              pings, slowest);
  EXPECT_EQ(app.masterRows(), (Rows{{"Y:\\", kMaster}}));
}

// The close box and Esc still ask while a census runs (only exitButton is
// disabled). Cancel lets the census finish; OK ends the program cleanly
// once the census has let go of the window.
class CloseDuringCensusTest : public DrivesTest {
 protected:
  void SetUp() override {
    DrivesTest::SetUp();
    std::string big = bigTree();
    ASSERT_FALSE(big.empty());
    // The same tree as three masters: a census three times as long.
    for (char l : std::string("WXY")) ASSERT_TRUE(app.insert(l, big));
    ASSERT_TRUE(app.setMasters("WXY"));
  }
  // The save command, which counts the masters again; true once busy.
  bool startCensus() {
    clickPosted(app.control(idSaveButton));
    return waitUntil([&] { return app.busy(); }, 10000, 1);
  }
  // Answers the save's confirmation when it comes.
  bool finishSave() {
    HWND box = waitForMessageBox(app.pid(), kSavedTitle, 60000);
    return box && answerMessageBox(box, IDOK) && app.waitIdle();
  }
};

TEST_F(CloseDuringCensusTest, CloseBoxCancelLetsTheCensusFinishAndOkEndsTheProgram) {
  ASSERT_TRUE(startCensus());
  PostMessageA(app.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND box = waitForMessageBox(app.pid(), kExitTitle);
  ASSERT_NE(box, nullptr) << "the close box did not ask during the census";
  ASSERT_TRUE(answerMessageBox(box, IDCANCEL));
  ASSERT_TRUE(finishSave()) << "the save did not finish after Cancel";
  EXPECT_EQ(app.masterRows().size(), 3u);

  ASSERT_TRUE(startCensus());
  PostMessageA(app.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  box = waitForMessageBox(app.pid(), kExitTitle);
  ASSERT_NE(box, nullptr) << "the close box did not ask during the census";
  ASSERT_TRUE(answerMessageBox(box, IDOK));
  // The save's own box may still come before the end; answer it if it does.
  bool ended = waitUntil([&] {
    if (HWND saved = findTopLevel(app.pid(), "#32770", kSavedTitle)) answerMessageBox(saved, IDOK, 2000);
    return !app.app().running();
  }, 60000, 10);
  ASSERT_TRUE(ended) << "still running; boxes open: " << openMessageBoxes(app.pid()).size();
  DWORD code = 99;
  ASSERT_TRUE(app.app().waitForExit(1000, &code));
  EXPECT_EQ(code, 0u);
}

// Esc as the operator presses it after a click on saveButton: the button
// has just been disabled by the busy state and held the keyboard focus.
TEST_F(CloseDuringCensusTest, EscAsksWhileTheCensusRuns) {
  ASSERT_TRUE(startCensus());
  std::string focusAtKey = focusOf(app.window());
  pressKey(app.window(), VK_ESCAPE);
  bool busyAtKey = app.busy();
  HWND box = waitForMessageBox(app.pid(), kExitTitle);
  ASSERT_NE(box, nullptr) << "Esc did not ask during the census; keyboard focus: " << focusAtKey
                          << (busyAtKey ? "" : "; the census had ended before the key");
  ASSERT_TRUE(answerMessageBox(box, IDCANCEL));
  ASSERT_TRUE(finishSave());
}

}  // namespace
}  // namespace e2e
