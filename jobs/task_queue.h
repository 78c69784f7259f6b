// The queue of copy jobs: one job per target drive, waiting in `pending` until
// the dispatcher hands it to a worker, then kept in `active` for the rest of the
// run. Used from the UI thread and from the worker at the same time: every
// operation is atomic with respect to every other (deep copies included), and
// `running` changes are atomic.
#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace usbdup {

struct TaskPair {
  std::string text;
  int32_t number = 0;
};

// The default task is what lookups answer when nothing matches: taskId 0, empty
// rootPath, state 0 and exactly one empty pair. Copies are deep (value types).
struct CopyTask {
  int32_t taskId = 0;
  std::string rootPath;
  int32_t state = 0;
  std::vector<TaskPair> pairs{TaskPair{}};
};

class TaskQueue {
 public:
  TaskQueue() = default;
  ~TaskQueue();
  TaskQueue(const TaskQueue&) = delete;
  TaskQueue& operator=(const TaskQueue&) = delete;

  void release();
  std::unique_ptr<TaskQueue> clone() const;
  void updateTask(const CopyTask& task, int32_t taskId);
  int32_t totalCount() const;
  int32_t reset();
  int32_t probe() const;
  int32_t addTask(const CopyTask& task);
  int32_t removePending(int32_t taskId);
  void clearPending();
  void moveUp(int32_t taskId);
  void moveDown(int32_t taskId);
  void moveToEnd(int32_t taskId);
  void moveToFront(int32_t taskId);
  CopyTask lastTaken() const;
  CopyTask takeNext();
  int32_t pendingCount() const;
  int32_t activeCount() const;
  void incrementRunning();
  void decrementRunning();
  void clearRunning();
  int32_t runningCount() const;
  CopyTask findTask(int32_t taskId) const;

 private:
  mutable std::mutex mutex_;
  std::deque<CopyTask> pending_;
  std::deque<CopyTask> active_;
  std::atomic<int32_t> running_{0};
};

}  // namespace usbdup
