// Drive lists on the headless window: arrivals, removals, the set-master
// command and the status writes that the copy worker makes from its thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "device/drive_lists.h"
#include "support/headless_app.h"
#include "window_hook_posix.h"

namespace usbdup {
namespace {

using test::bit;
using test::HeadlessApp;

const char kWaiting[] = "等待执行操作...";
const char kMaster[] = "范本母盘";
const uint32_t kArrival = 0x8000, kRemoval = 0x8004;

std::vector<std::string> column(HeadlessUi& ui, ListView list, int c) {
  std::vector<std::string> out;
  for (const HeadlessUi::Row& r : ui.rows(list)) out.push_back(r.cells[c]);
  return out;
}
std::vector<int32_t> values(HeadlessUi& ui) {
  std::vector<int32_t> out;
  for (const HeadlessUi::Row& r : ui.rows(ListView::targetList)) out.push_back(r.value);
  return out;
}

TEST(DriveLists, ArrivalOutsideMasterModeQueuesOneTaskPerLetter) {
  struct Case {
    DriveMask mask;
    std::vector<std::string> drives;
  } cases[] = {
      {bit('D') | bit('F'), {"D:\\", "F:\\"}},
      {bit('Q') | (1u << 26) | (1u << 31), {"Q:\\"}},
      {0, {}},
      {0xFC000000u, {}},
      {bit('A') | bit('Z'), {"A:\\", "Z:\\"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mask 0x" << std::hex << c.mask);
    HeadlessApp app;
    ASSERT_TRUE(app.start());
    app.ui.clearTimerCalls();
    EXPECT_EQ(app.ui.sendDeviceNotice(kArrival, c.mask), HeadlessUi::kOwnProcResult);
    EXPECT_EQ(column(app.ui, ListView::targetList, 0), c.drives);
    std::vector<int32_t> ids;
    for (size_t i = 0; i < c.drives.size(); ++i) {
      EXPECT_EQ(app.ui.cellText(ListView::targetList, static_cast<int32_t>(i), 1), kWaiting);
      ids.push_back(static_cast<int32_t>(i));
      const CopyTask task = taskQueue().findTask(static_cast<int32_t>(i));
      EXPECT_EQ(task.rootPath, c.drives[i]);
      EXPECT_EQ(task.state, 1);
      EXPECT_TRUE(task.pairs.empty());
    }
    EXPECT_EQ(values(app.ui), ids);  // consecutive, in letter order
    EXPECT_EQ(taskQueue().totalCount(), static_cast<int32_t>(c.drives.size()));
    EXPECT_TRUE(app.ui.rows(ListView::masterList).empty());
    EXPECT_EQ(app.ui.timerCalls(), std::vector<uint32_t>{1000});  // once per notice, letters or not
    EXPECT_EQ(app.ui.messagesSeen(), std::vector<uint32_t>{0x0219});
  }
}

TEST(DriveLists, DuplicateArrivalsAndRemovalOfFirstMatchOnly) {
  HeadlessApp app;
  ASSERT_TRUE(app.start());
  app.ui.sendDeviceNotice(kArrival, bit('E'));
  app.ui.sendDeviceNotice(kArrival, bit('F'));
  app.ui.sendDeviceNotice(kArrival, bit('E'));  // nothing checks for duplicates
  EXPECT_EQ(column(app.ui, ListView::targetList, 0), (std::vector<std::string>{"E:\\", "F:\\", "E:\\"}));
  EXPECT_EQ(values(app.ui), (std::vector<int32_t>{0, 1, 2}));

  app.ui.sendDeviceNotice(kRemoval, bit('E'));
  EXPECT_EQ(column(app.ui, ListView::targetList, 0), (std::vector<std::string>{"F:\\", "E:\\"}));
  EXPECT_EQ(values(app.ui), (std::vector<int32_t>{1, 2}));

  app.ui.sendDeviceNotice(kRemoval, bit('G') | bit('Z'));  // letters nobody holds
  EXPECT_EQ(values(app.ui), (std::vector<int32_t>{1, 2}));
  EXPECT_TRUE(app.ui.changes().empty()) << "a census ran for a letter no list holds";

  // The tasks of pulled targets stay queued; their texts find no row.
  EXPECT_EQ(taskQueue().pendingCount(), 3);
  setTaskStatus(app.ui, 0, 1, "gone");
  setTaskStatus(app.ui, 2, 1, "still here");
  EXPECT_EQ(column(app.ui, ListView::targetList, 1), (std::vector<std::string>{kWaiting, "still here"}));
}

TEST(DriveLists, SetMasterTakesEveryDriveOfTheNoticeAndCounts) {
  HeadlessApp app;
  app.drive('D', 2);
  app.drive('F', 3);
  ASSERT_TRUE(app.start());
  app.ui.clearTimerCalls();
  int modeWhileOpen = -1;
  app.ui.scriptAnswer(kAnswerOk, [&] {
    modeWhileOpen = program().masterSetMode;
    app.ui.sendDeviceNotice(kArrival, bit('D') | bit('F'));
  });
  onSetMasterClicked();

  ASSERT_EQ(app.ui.boxes().size(), 1u);
  const HeadlessUi::Box box = app.ui.boxes()[0];
  EXPECT_EQ(box.text,
            "请将作为范本母本的设备插入电脑，完成后单击确定！\r\n\r\n"
            "提示：请等待设备插入后被软件成功识别时再点击确定关闭本对话框！");
  EXPECT_EQ(box.title, "等待设备插入...");
  EXPECT_EQ(box.style, 48u);
  EXPECT_EQ(modeWhileOpen, 1);
  EXPECT_EQ(program().masterSetMode, 0);
  EXPECT_EQ(column(app.ui, ListView::masterList, 0), (std::vector<std::string>{"D:\\", "F:\\"}));
  EXPECT_EQ(column(app.ui, ListView::masterList, 1), (std::vector<std::string>{kMaster, kMaster}));
  EXPECT_TRUE(app.ui.rows(ListView::targetList).empty());
  EXPECT_EQ(taskQueue().totalCount(), 0);
  EXPECT_EQ(app.ui.timerCalls(), std::vector<uint32_t>{1000});
  EXPECT_EQ(program().masterFileTotal.load(), 5);

  // A second use adds to the masters already listed and counts them all.
  app.drive('G', 4);
  app.ui.scriptAnswer(kAnswerOk, [&] { app.ui.sendDeviceNotice(kArrival, bit('G')); });
  onSetMasterClicked();
  EXPECT_EQ(column(app.ui, ListView::masterList, 0), (std::vector<std::string>{"D:\\", "F:\\", "G:\\"}));
  EXPECT_EQ(program().masterFileTotal.load(), 9);

  // After the box, arrivals are targets again.
  app.ui.sendDeviceNotice(kArrival, bit('H'));
  EXPECT_EQ(column(app.ui, ListView::targetList, 0), std::vector<std::string>{"H:\\"});
}

TEST(DriveLists, PullingAMasterDeletesItsRowAndRecounts) {
  HeadlessApp app;
  app.drive('M', 3);
  app.drive('N', 2);
  ASSERT_TRUE(app.start());
  app.ui.scriptAnswer(kAnswerOk, [&] { app.ui.sendDeviceNotice(kArrival, bit('M') | bit('N')); });
  onSetMasterClicked();
  ASSERT_EQ(program().masterFileTotal.load(), 5);
  app.ui.sendDeviceNotice(kArrival, bit('N'));  // N also as a target row
  app.ui.clearChanges();

  app.ui.sendDeviceNotice(kRemoval, bit('N'));
  EXPECT_EQ(column(app.ui, ListView::masterList, 0), std::vector<std::string>{"M:\\"});
  EXPECT_TRUE(app.ui.rows(ListView::targetList).empty());
  EXPECT_EQ(program().masterFileTotal.load(), 3);
  EXPECT_FALSE(app.ui.changes().empty()) << "no busy state shown";
  EXPECT_FALSE(app.ui.isVisible(Control::censusNotice));
}

TEST(DriveLists, StatusFollowsItsRowWhenRowsAboveGo) {
  HeadlessApp app;
  ASSERT_TRUE(app.start());
  app.ui.sendDeviceNotice(kArrival, bit('D') | bit('E') | bit('F'));
  app.ui.sendDeviceNotice(kRemoval, bit('D'));
  setTaskStatus(app.ui, 2, 1, "正在复制...(50%)");
  EXPECT_EQ(findTaskRow(app.ui, 2), 1);
  EXPECT_EQ(app.ui.cellText(ListView::targetList, 1, 1), "正在复制...(50%)");
  EXPECT_EQ(app.ui.cellText(ListView::targetList, 0, 1), kWaiting);
  EXPECT_EQ(findTaskRow(app.ui, 0), -1);
  EXPECT_EQ(findRowByText(app.ui, ListView::targetList, "e:\\"), -1);  // letter case counts
  EXPECT_EQ(findRowByText(app.ui, ListView::targetList, "E:\\"), 0);
}

// The worker writes statuses while the UI thread deletes rows: a text must
// only ever land in the row of its own task.
TEST(DriveLists, StatusWritesFromAnotherThreadNeverHitAnotherTasksRow) {
  HeadlessApp app;
  ASSERT_TRUE(app.start());
  const int kTasks = 24;
  for (int i = 0; i < kTasks; ++i) app.ui.sendDeviceNotice(kArrival, bit('A' + i % 26));
  std::atomic<bool> stop{false};
  std::thread worker([&] {
    for (int round = 0; !stop.load(); ++round) {
      for (int id = 0; id < kTasks; ++id) setTaskStatus(app.ui, id, 1, "task " + std::to_string(id));
    }
  });
  for (int i = 0; i < kTasks / 2; ++i) {
    app.ui.runOnUiThread([&] {});  // let the worker in between
    app.ui.deleteRow(ListView::targetList, i % 3 == 0 ? 0 : app.ui.rowCount(ListView::targetList) - 1);
  }
  stop = true;
  worker.join();
  for (int id = 0; id < kTasks; ++id) setTaskStatus(app.ui, id, 1, "task " + std::to_string(id));
  for (const HeadlessUi::Row& r : app.ui.rows(ListView::targetList)) {
    EXPECT_EQ(r.cells[1], "task " + std::to_string(r.value));
  }
  EXPECT_EQ(app.ui.rows(ListView::targetList).size(), static_cast<size_t>(kTasks / 2));
}

TEST(DeviceWatch, HookLifetimeFollowsTheWindow) {
  HeadlessApp app;
  const WindowProc own = currentWindowProc(app.ui.handle());
  ASSERT_TRUE(app.start());
  EXPECT_EQ(currentWindowProc(app.ui.handle()), &deviceWindowProc);
  EXPECT_EQ(deviceHook().previousProc, own);
  EXPECT_EQ(sendWindowMessage(app.ui.handle(), 0x000F, 1, 2), HeadlessUi::kOwnProcResult);  // passed through

  app.ui.destroyWindow();
  EXPECT_EQ(currentWindowProc(app.ui.handle()), own);
  app.ui.sendDeviceNotice(kArrival, bit('E'));  // no longer decoded
  EXPECT_TRUE(app.ui.rows(ListView::targetList).empty());
}

}  // namespace
}  // namespace usbdup
