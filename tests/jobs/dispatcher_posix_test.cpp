// The dispatcher on the headless window: the test drives the ticks that the
// one-second timer would give, workers run on real threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "jobs/dispatcher.h"
#include "jobs/job_run.h"
#include "platform/system.h"

namespace usbdup {
namespace {

using namespace test;

// Which jobs the ticks started, and whether the next start is to fail.
std::mutex g_mutex;
std::vector<int32_t> g_started;
int g_failuresToCome = 0;

bool recordingStarter(void (*entry)(int32_t), int32_t taskId) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_started.push_back(taskId);
    if (g_failuresToCome > 0) {
      --g_failuresToCome;
      return false;
    }
  }
  return startThread(entry, taskId);
}

std::vector<int32_t> started() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_started;
}

class Dispatcher : public ::testing::Test {
 protected:
  void SetUp() override {
    g_started.clear();
    g_failuresToCome = 0;
    setThreadStarter(recordingStarter);
    master_ = app_.drive('D');
    plant(master_, {{"a.txt", "a"}, {"sub/b.txt", "b"}});
    for (char t : {'E', 'F', 'G'}) app_.drive(t);
    ASSERT_TRUE(app_.start());
    setMasters(app_, bit('D'));
    app_.ui.clearTimerCalls();
  }
  void TearDown() override { setThreadStarter(nullptr); }

  std::string status(int row) { return app_.ui.cellText(ListView::targetList, row, 1); }

  HeadlessApp app_;
  std::string master_;
};

TEST_F(Dispatcher, ThreeTargetsInOneNoticeAreServedInOrderOneAtATime) {
  app_.ui.sendDeviceNotice(kArrival, bit('E') | bit('F') | bit('G'));
  app_.ui.clearCellWrites();
  app_.ui.clearTimerCalls();

  onDispatchTick();
  EXPECT_EQ(started(), std::vector<int32_t>{0});
  EXPECT_EQ(taskQueue().runningCount(), 1);
  EXPECT_EQ(taskQueue().pendingCount(), 2);
  EXPECT_EQ(app_.ui.timerPeriod(), 0u);

  // The worker has ended but its end is not yet handled here: a tick now
  // (armed by some other arrival) must not start a second job.
  ASSERT_TRUE(waitUntilNoWorker());
  EXPECT_EQ(status(0), kDone);
  EXPECT_EQ(status(1), kWaiting);
  EXPECT_EQ(status(2), kWaiting);
  onDispatchTick();
  EXPECT_EQ(started(), std::vector<int32_t>{0});
  EXPECT_EQ(taskQueue().pendingCount(), 2);
  EXPECT_EQ(app_.ui.timerCalls(), (std::vector<uint32_t>{0, 0}));

  // Handling the end lowers `running` and arms the timer for the next job.
  app_.ui.processPendingMessages();
  EXPECT_EQ(taskQueue().runningCount(), 0);
  EXPECT_EQ(app_.ui.timerPeriod(), 1000u);

  EXPECT_EQ(serveAll(app_.ui), 3);  // F, G, then an idle tick
  EXPECT_EQ(started(), (std::vector<int32_t>{0, 1, 2}));
  for (int row = 0; row < 3; ++row) EXPECT_EQ(status(row), kDone) << "row " << row;
  for (char t : {'E', 'F', 'G'}) EXPECT_EQ(treeOf(app_.dir.file(std::string("drive-") + t)), treeOf(master_)) << t;

  // One job's texts all come before the next job's first.
  std::vector<int32_t> order;
  for (const HeadlessUi::CellWrite& w : app_.ui.cellWrites()) order.push_back(w.rowValue);
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(app_.ui.timerCalls(), (std::vector<uint32_t>{0, 0, 1000, 0, 1000, 0, 1000, 0}));
}

TEST_F(Dispatcher, TickWithNothingPendingOnlyStopsTheTimer) {
  onDispatchTick();
  EXPECT_TRUE(started().empty());
  EXPECT_EQ(app_.ui.timerCalls(), std::vector<uint32_t>{0});
  EXPECT_EQ(taskQueue().runningCount(), 0);
  // The next arrival arms it again.
  app_.ui.sendDeviceNotice(kArrival, bit('E'));
  EXPECT_EQ(app_.ui.timerPeriod(), 1000u);
}

// A worker that cannot be started does not block the queue: its row says so
// and the jobs behind it still run.
TEST_F(Dispatcher, FailedThreadStartLetsLaterJobsRun) {
  g_failuresToCome = 1;
  app_.ui.sendDeviceNotice(kArrival, bit('E') | bit('F'));
  app_.ui.clearTimerCalls();

  onDispatchTick();
  EXPECT_EQ(started(), std::vector<int32_t>{0});
  EXPECT_EQ(status(0), kStartFailed);
  EXPECT_EQ(status(1), kWaiting);
  EXPECT_EQ(taskQueue().runningCount(), 0);
  EXPECT_EQ(taskQueue().pendingCount(), 1);
  EXPECT_FALSE(anyWorkerAlive());
  EXPECT_EQ(app_.ui.timerPeriod(), 1000u);

  serveAll(app_.ui);
  EXPECT_EQ(started(), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(status(0), kStartFailed);
  EXPECT_EQ(status(1), kDone);
  EXPECT_TRUE(treeOf(app_.dir.file("drive-E")).empty());
  EXPECT_EQ(treeOf(app_.dir.file("drive-F")), treeOf(master_));
}

}  // namespace
}  // namespace usbdup
