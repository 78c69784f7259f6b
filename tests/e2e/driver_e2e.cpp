// The driver checked against a small stand-in window (fake/fake_window.cpp),
// so that a fault of the driver shows up here and not as a riddle in the
// tests of the real program.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "driver/app.h"
#include "driver/files.h"
#include "driver/list_view.h"
#include "driver/screenshot.h"
#include "driver/windows.h"

namespace e2e {
namespace {

enum { kList = 101, kCheck = 102, kCombo = 103, kAsk = 104, kAnswer = 105 };

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app.start(tmp / "prog")) << "USBDUP_EXE=" << builtExePath();
    ASSERT_NE(app.waitForWindow(), nullptr);
  }
  HWND ctl(int id) { return findControl(app.window(), id); }

  TempFolder tmp{"drv"};
  App app;
};

TEST_F(DriverTest, ReadsWindowAndControlsAcrossProcesses) {
  RECT r{};
  GetWindowRect(app.window(), &r);
  EXPECT_EQ(r.right - r.left, 657);
  EXPECT_EQ(r.bottom - r.top, 570);

  HWND list = ctl(kList);
  ASSERT_NE(list, nullptr);
  RECT place = placeInParent(list);  // relative to its group box
  EXPECT_EQ(place.left, 8);
  EXPECT_EQ(place.top, 17);
  RemoteListView lv(list);
  ASSERT_TRUE(lv.ok());
  EXPECT_EQ(lv.columnCount(), 2);
  EXPECT_EQ(lv.columnTitle(0), "盘符：");
  EXPECT_EQ(lv.columnTitle(1), "状态：");
  EXPECT_EQ(lv.columnWidth(0), 50);
  EXPECT_EQ(lv.columnWidth(1), 200);
  EXPECT_EQ(lv.columnFormat(1) & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);

  EXPECT_TRUE(isChecked(ctl(kCheck)));
  setChecked(ctl(kCheck), false);
  EXPECT_FALSE(isChecked(ctl(kCheck)));
  EXPECT_EQ(comboCount(ctl(kCombo)), 2);
  EXPECT_EQ(comboSelection(ctl(kCombo)), 0);
  EXPECT_EQ(comboItem(ctl(kCombo), 0), "FAT32（默认）");
  EXPECT_EQ(windowText(ctl(kAsk)), "问");

  std::string png = tmp / "shot.png", bytes;
  ASSERT_TRUE(saveWindowPng(app.window(), png));
  ASSERT_TRUE(readFile(png, &bytes));
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n"));
  EXPECT_GT(bytes.size(), 657u * 570u * 3u);
}

TEST_F(DriverTest, MapsDrivesAndSendsVolumeNotices) {
  DriveMap drives;
  makeFolders(tmp / "stick");
  ASSERT_TRUE(writeFile(tmp / "stick\\a.txt", "abc"));
  ASSERT_TRUE(drives.map('R', tmp / "stick"));
  ASSERT_TRUE(drives.map('t', tmp / "stick"));
  EXPECT_EQ(GetDriveTypeA("R:\\"), (UINT)DRIVE_FIXED);
  std::string bytes;
  EXPECT_TRUE(readFile("T:\\a.txt", &bytes));
  EXPECT_EQ(bytes, "abc");
  EXPECT_FALSE(drives.map('Z', tmp / "stick")) << "Z: is the Unix root and must stay";
  EXPECT_FALSE(drives.map('P', tmp / "stick")) << "only Q..Y belong to the tests";

  ASSERT_TRUE(sendVolumeArrival(app.window(), driveBit('R') | driveBit('T')));
  RemoteListView lv(ctl(kList));
  using Rows = std::vector<std::vector<std::string>>;
  EXPECT_EQ(lv.rows(), (Rows{{"R:\\", "等待执行操作..."}, {"T:\\", "等待执行操作..."}}));
  EXPECT_EQ(lv.rowValue(0), 7);
  EXPECT_EQ(lv.rowValue(1), 8);
  EXPECT_EQ(lv.rowValue(5), 0) << "a missing row";
  EXPECT_EQ(lv.cell(5, 0), "");

  ASSERT_TRUE(drives.unmap('R'));
  EXPECT_EQ(GetDriveTypeA("R:\\"), (UINT)DRIVE_NO_ROOT_DIR);
  ASSERT_TRUE(sendVolumeRemoval(app.window(), driveBit('R')));
  EXPECT_EQ(lv.rows(), (Rows{{"T:\\", "等待执行操作..."}}));
}

TEST_F(DriverTest, AnswersMessageBoxesWhileNoticesFlow) {
  clickPosted(ctl(kAsk));
  HWND box = waitForMessageBox(app.pid(), "提问");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(messageBoxText(box), "你好");
  EXPECT_EQ(openMessageBoxes(app.pid()), std::vector<std::string>{"提问"});
  // Sent messages reach the window while its thread sits in the box.
  ASSERT_TRUE(sendVolumeArrival(app.window(), driveBit('S')));
  EXPECT_EQ(RemoteListView(ctl(kList)).rowCount(), 1);
  EXPECT_GE(pingMicros(app.window()), 0);
  EXPECT_FALSE(IsWindowEnabled(app.window())) << "task-modal";
  ASSERT_TRUE(answerMessageBox(box, IDCANCEL));
  EXPECT_TRUE(waitUntil([&] { return windowText(ctl(kAnswer)) == "Cancel"; }));
  EXPECT_TRUE(IsWindowEnabled(app.window())) << "enabled again after the box";

  clickPosted(ctl(kAsk));
  box = waitForMessageBox(app.pid(), "提问");
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(answerMessageBox(box, IDOK));
  EXPECT_TRUE(waitUntil([&] { return windowText(ctl(kAnswer)) == "OK"; }));
}

TEST_F(DriverTest, KeysReachTheWindowAndTheExitCodeIsRead) {
  pressKey(app.window(), VK_ESCAPE);
  HWND box = waitForMessageBox(app.pid(), "退出");
  ASSERT_NE(box, nullptr) << "Esc did not reach the window";
  ASSERT_TRUE(answerMessageBox(box, IDCANCEL));
  EXPECT_TRUE(app.running());

  pressKey(app.window(), VK_F4, /*alt=*/true);
  box = waitForMessageBox(app.pid(), "退出");
  ASSERT_NE(box, nullptr) << "Alt+F4 did not reach the window";
  ASSERT_TRUE(answerMessageBox(box, IDOK));
  DWORD code = 99;
  ASSERT_TRUE(app.waitForExit(10000, &code));
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace e2e
