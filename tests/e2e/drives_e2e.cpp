// Drives plugged and pulled: the master and target lists, the set-master
// prompt, and the busy state of the master census.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "driver/session.h"

namespace e2e {
namespace {

using namespace usbdup;

const char kWaiting[] = "等待执行操作...";
const char kMaster[] = "范本母盘";

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

  // Rows stay as they are while jobs are dispatched.
  Sleep(2500);
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

TEST_F(DrivesTest, WindowIsBusyButAnswersWhileALargeMasterIsCounted) {
  // 40,000 files in 400 folders, made on the Unix side in one go.
  std::string big = tmp / "big";
  makeFolders(big);
  std::string unixBig = unixPathOf(big);
  ASSERT_FALSE(unixBig.empty());
  ASSERT_EQ(runUnix("cd " + shellQuote(unixBig) +
                    " && for d in $(seq 1 400); do mkdir d$d && (cd d$d && touch $(seq 1 100)); done"),
                0);
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

}  // namespace
}  // namespace e2e
