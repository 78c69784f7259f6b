// Drives one queue from two threads the way the program does: the UI thread
// queues arriving targets, reorders them and dispatches them; a worker looks
// its job up and lowers the running counter at its end. Run under
// ThreadSanitizer this proves every operation is guarded.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "jobs/task_queue.h"

namespace usbdup {
namespace {

TEST(TaskQueueThreads, UiThreadAndWorkerTogether) {
  constexpr int kJobs = 2000;
  TaskQueue q;
  q.reset();
  std::atomic<int32_t> taken{-1};
  std::atomic<bool> done{false};
  std::atomic<int> lookupsFound{0};
  std::atomic<int> badLookups{0};

  std::thread worker([&] {
    int32_t served = -1;
    while (!done.load() || served < taken.load()) {
      const int32_t last = taken.load();
      if (served < last) {
        ++served;
        const CopyTask t = q.findTask(served);
        // A job is never lost between the lists while it moves.
        if (t.taskId == served && t.rootPath == "T" + std::to_string(served)) {
          ++lookupsFound;
        } else {
          ++badLookups;
        }
        q.decrementRunning();
      }
      (void)q.lastTaken();
      (void)q.activeCount();
      (void)q.totalCount();
      (void)q.findTask(served + 5);  // often still pending
    }
  });

  for (int i = 0; i < kJobs; ++i) {
    CopyTask t;
    t.taskId = q.totalCount();
    t.rootPath = "T" + std::to_string(t.taskId);
    t.state = 1;
    t.pairs.assign(3, TaskPair{"pair", i});
    ASSERT_EQ(q.addTask(t), 1);
    if (i % 3 == 2) {
      q.moveDown(t.taskId - 1);  // A, B, C -> A, C, B ...
      q.moveUp(t.taskId - 1);    // ... and back, so jobs still leave in order
    }
    if (q.pendingCount() > 2 || i == kJobs - 1) {
      while (q.pendingCount() > 0) {
        const CopyTask next = q.takeNext();
        q.incrementRunning();
        taken.store(next.taskId);
      }
    }
  }
  done.store(true);
  worker.join();

  EXPECT_EQ(badLookups.load(), 0);
  EXPECT_EQ(lookupsFound.load(), kJobs);
  EXPECT_EQ(q.totalCount(), kJobs);
  EXPECT_EQ(q.activeCount(), kJobs);
  EXPECT_EQ(q.runningCount(), 0);
  EXPECT_EQ(q.lastTaken().taskId, kJobs - 1);
}

}  // namespace
}  // namespace usbdup
