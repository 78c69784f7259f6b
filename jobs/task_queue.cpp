#include "jobs/task_queue.h"

#include <algorithm>

namespace usbdup {

// Every operation holds mutex_ for its whole length, the copies it hands out
// included: the UI thread queues and takes jobs while a worker looks its own
// job up, and a half-made copy must never be seen. `running` is an atomic of
// its own so that the counter never waits for a list operation.

namespace {

using Jobs = std::deque<CopyTask>;

Jobs::iterator findIn(Jobs& jobs, int32_t taskId) {
  return std::find_if(jobs.begin(), jobs.end(), [taskId](const CopyTask& t) { return t.taskId == taskId; });
}

Jobs::const_iterator findIn(const Jobs& jobs, int32_t taskId) {
  return std::find_if(jobs.begin(), jobs.end(), [taskId](const CopyTask& t) { return t.taskId == taskId; });
}

// Moves the job at `from` to index `to` of the same list, the others keeping
// their relative order.
void moveWithin(Jobs& jobs, Jobs::iterator from, size_t to) {
  const size_t index = static_cast<size_t>(from - jobs.begin());
  if (index == to) return;
  CopyTask job = std::move(*from);
  jobs.erase(from);
  jobs.insert(jobs.begin() + static_cast<std::ptrdiff_t>(to), std::move(job));
}

}  // namespace

TaskQueue::~TaskQueue() = default;

void TaskQueue::release() {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.clear();
  active_.clear();
}

std::unique_ptr<TaskQueue> TaskQueue::clone() const {
  auto copy = std::make_unique<TaskQueue>();
  std::lock_guard<std::mutex> lock(mutex_);
  copy->pending_ = pending_;
  copy->active_ = active_;
  copy->running_.store(running_.load());
  return copy;
}

void TaskQueue::updateTask(const CopyTask& task, int32_t taskId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = findIn(pending_, taskId);
  if (it == pending_.end()) {
    it = findIn(active_, taskId);
    if (it == active_.end()) return;
  }
  // The stored job keeps its own number; the given task's is not used.
  it->rootPath = task.rootPath;
  it->state = task.state;
  it->pairs = task.pairs;
}

int32_t TaskQueue::totalCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int32_t>(pending_.size() + active_.size());
}

int32_t TaskQueue::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.clear();
  active_.clear();
  running_.store(0);
  return 1;
}

int32_t TaskQueue::probe() const { return 1; }

int32_t TaskQueue::addTask(const CopyTask& task) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (findIn(pending_, task.taskId) != pending_.end() || findIn(active_, task.taskId) != active_.end()) return 0;
  pending_.push_back(task);
  return 1;
}

int32_t TaskQueue::removePending(int32_t taskId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = findIn(pending_, taskId);
  if (it == pending_.end()) return 0;
  pending_.erase(it);
  return 1;
}

void TaskQueue::clearPending() {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.clear();
}

void TaskQueue::moveUp(int32_t taskId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = findIn(pending_, taskId);
  if (it == pending_.end() || it == pending_.begin()) return;
  moveWithin(pending_, it, static_cast<size_t>(it - pending_.begin()) - 1);
}

void TaskQueue::moveDown(int32_t taskId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = findIn(pending_, taskId);
  if (it == pending_.end() || it + 1 == pending_.end()) return;
  moveWithin(pending_, it, static_cast<size_t>(it - pending_.begin()) + 1);
}

void TaskQueue::moveToEnd(int32_t taskId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = findIn(pending_, taskId);
  if (it == pending_.end()) return;
  moveWithin(pending_, it, pending_.size() - 1);
}

void TaskQueue::moveToFront(int32_t taskId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = findIn(pending_, taskId);
  if (it == pending_.end()) return;
  moveWithin(pending_, it, 0);
}

CopyTask TaskQueue::lastTaken() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return active_.empty() ? CopyTask{} : active_.back();
}

CopyTask TaskQueue::takeNext() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pending_.empty()) return CopyTask{};
  active_.push_back(std::move(pending_.front()));
  pending_.pop_front();
  return active_.back();
}

int32_t TaskQueue::pendingCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int32_t>(pending_.size());
}

int32_t TaskQueue::activeCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int32_t>(active_.size());
}

void TaskQueue::incrementRunning() { running_.fetch_add(1); }
void TaskQueue::decrementRunning() { running_.fetch_sub(1); }
void TaskQueue::clearRunning() { running_.store(0); }
int32_t TaskQueue::runningCount() const { return running_.load(); }

CopyTask TaskQueue::findTask(int32_t taskId) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = findIn(pending_, taskId);
  if (it != pending_.end()) return *it;
  it = findIn(active_, taskId);
  if (it != active_.end()) return *it;
  return CopyTask{};
}

}  // namespace usbdup
