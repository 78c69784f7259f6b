#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobs/task_queue.h"

namespace usbdup {
namespace {

CopyTask job(int32_t id, const std::string& root = "F:\\") {
  CopyTask t;
  t.taskId = id;
  t.rootPath = root;
  t.state = 1;
  t.pairs.clear();
  return t;
}

bool isDefault(const CopyTask& t) {
  return t.taskId == 0 && t.rootPath.empty() && t.state == 0 && t.pairs.size() == 1 && t.pairs[0].text.empty() &&
         t.pairs[0].number == 0;
}

// The pending order as seen through takeNext on a clone, so the queue under
// test stays as it is.
std::vector<int32_t> pendingIds(const TaskQueue& q) {
  std::unique_ptr<TaskQueue> copy = q.clone();
  std::vector<int32_t> ids;
  while (copy->pendingCount() > 0) ids.push_back(copy->takeNext().taskId);
  return ids;
}

TEST(TaskQueue, DefaultTaskHoldsOneEmptyPair) { EXPECT_TRUE(isDefault(CopyTask{})); }

TEST(TaskQueue, ResetEmptiesEverything) {
  TaskQueue q;
  for (int32_t id : {0, 1, 2}) ASSERT_EQ(q.addTask(job(id)), 1);
  q.takeNext();
  q.incrementRunning();
  q.incrementRunning();
  EXPECT_EQ(q.reset(), 1);
  EXPECT_EQ(q.totalCount(), 0);
  EXPECT_EQ(q.pendingCount(), 0);
  EXPECT_EQ(q.activeCount(), 0);
  EXPECT_EQ(q.runningCount(), 0);
  EXPECT_EQ(q.probe(), 1);
  q.addTask(job(0));
  q.addTask(job(1));
  q.takeNext();
  q.release();
  EXPECT_EQ(q.totalCount(), 0);
}

TEST(TaskQueue, NumbersFollowTotalCountAndTakeNextKeepsOrder) {
  TaskQueue q;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(q.addTask(job(q.totalCount(), std::string(1, char('E' + i)) + ":\\")), 1);
  const CopyTask first = q.takeNext();
  const CopyTask second = q.takeNext();
  EXPECT_EQ(first.taskId, 0);
  EXPECT_EQ(first.rootPath, "E:\\");
  EXPECT_EQ(second.taskId, 1);
  EXPECT_EQ(second.rootPath, "F:\\");
  EXPECT_EQ(q.pendingCount(), 1);
  EXPECT_EQ(q.activeCount(), 2);
  EXPECT_EQ(q.totalCount(), 3);
  EXPECT_EQ(q.lastTaken().taskId, 1);
  EXPECT_EQ(q.addTask(job(q.totalCount())), 1);
  EXPECT_EQ(pendingIds(q), (std::vector<int32_t>{2, 3}));
}

TEST(TaskQueue, EmptyListsAnswerTheDefaultTask) {
  TaskQueue q;
  EXPECT_TRUE(isDefault(q.takeNext()));
  EXPECT_TRUE(isDefault(q.lastTaken()));
  EXPECT_TRUE(isDefault(q.findTask(0)));
  EXPECT_EQ(q.totalCount(), 0);
  q.addTask(job(7));
  EXPECT_TRUE(isDefault(q.findTask(8)));
  EXPECT_TRUE(isDefault(q.lastTaken()));
  EXPECT_EQ(q.pendingCount(), 1);
}

TEST(TaskQueue, AddTaskRefusesANumberInEitherList) {
  TaskQueue q;
  q.addTask(job(0, "E:\\"));
  q.addTask(job(1, "F:\\"));
  q.takeNext();  // 0 is now active, 1 pending
  for (int32_t id : {0, 1}) {
    EXPECT_EQ(q.addTask(job(id, "Z:\\")), 0) << "taskId " << id;
    EXPECT_EQ(q.pendingCount(), 1);
    EXPECT_EQ(q.activeCount(), 1);
    EXPECT_EQ(q.findTask(id).rootPath, id == 0 ? "E:\\" : "F:\\");
  }
}

TEST(TaskQueue, FindTaskSeesPendingThenActiveJobs) {
  TaskQueue q;
  CopyTask t = job(5, "G:\\");
  t.pairs = {{"x", 3}, {"y", 4}};
  q.addTask(t);
  CopyTask found = q.findTask(5);
  EXPECT_EQ(found.rootPath, "G:\\");
  ASSERT_EQ(found.pairs.size(), 2u);
  EXPECT_EQ(found.pairs[1].text, "y");
  EXPECT_EQ(found.pairs[1].number, 4);
  q.takeNext();
  EXPECT_EQ(q.findTask(5).rootPath, "G:\\");
  EXPECT_EQ(q.findTask(5).state, 1);
}

TEST(TaskQueue, CopiesInAndOutShareNothing) {
  TaskQueue q;
  CopyTask mine = job(1, "H:\\");
  mine.pairs = {{"text", 9}};
  q.addTask(mine);
  mine.rootPath = "changed";
  mine.pairs[0].text = "changed";

  CopyTask out = q.findTask(1);
  EXPECT_EQ(out.rootPath, "H:\\");
  EXPECT_EQ(out.pairs[0].text, "text");
  out.rootPath.clear();
  out.pairs.clear();

  CopyTask taken = q.takeNext();
  taken.rootPath = "x";
  taken.pairs.push_back({"y", 1});
  const CopyTask again = q.findTask(1);
  EXPECT_EQ(again.rootPath, "H:\\");
  ASSERT_EQ(again.pairs.size(), 1u);
  EXPECT_EQ(again.pairs[0].text, "text");

  std::unique_ptr<TaskQueue> copy = q.clone();
  q.reset();
  EXPECT_EQ(copy->findTask(1).rootPath, "H:\\");
  EXPECT_EQ(copy->activeCount(), 1);
}

TEST(TaskQueue, CloneKeepsOrderAndRunning) {
  TaskQueue q;
  for (int32_t id : {4, 2, 9, 1}) q.addTask(job(id));
  q.takeNext();
  q.incrementRunning();
  std::unique_ptr<TaskQueue> copy = q.clone();
  EXPECT_EQ(copy->runningCount(), 1);
  EXPECT_EQ(copy->lastTaken().taskId, 4);
  EXPECT_EQ(pendingIds(*copy), (std::vector<int32_t>{2, 9, 1}));
}

TEST(TaskQueue, MovesReorderPendingOnly) {
  enum Op { Up, Down, ToEnd, ToFront };
  const struct {
    Op op;
    int32_t id;
    std::vector<int32_t> after;
  } cases[] = {
      {Up, 'A', {'A', 'B', 'C'}},     {Up, 'C', {'A', 'C', 'B'}},    {Up, 'B', {'B', 'A', 'C'}},
      {Down, 'C', {'A', 'B', 'C'}},   {Down, 'A', {'B', 'A', 'C'}},  {Down, 'B', {'A', 'C', 'B'}},
      {ToFront, 'C', {'C', 'A', 'B'}}, {ToFront, 'A', {'A', 'B', 'C'}}, {ToEnd, 'A', {'B', 'C', 'A'}},
      {ToEnd, 'C', {'A', 'B', 'C'}},  {Up, 'Z', {'A', 'B', 'C'}},    {ToFront, 'X', {'A', 'B', 'C'}},
      {ToEnd, 'X', {'A', 'B', 'C'}},  {Down, 'X', {'A', 'B', 'C'}},
  };
  for (const auto& c : cases) {
    TaskQueue q;
    q.addTask(job('X', "X:\\"));
    q.takeNext();  // X is active: moves must not reach it
    for (int32_t id : {'A', 'B', 'C'}) q.addTask(job(id, std::string(1, char(id)) + ":\\"));
    switch (c.op) {
      case Up: q.moveUp(c.id); break;
      case Down: q.moveDown(c.id); break;
      case ToEnd: q.moveToEnd(c.id); break;
      case ToFront: q.moveToFront(c.id); break;
    }
    EXPECT_EQ(pendingIds(q), c.after) << "op " << c.op << " on " << char(c.id);
    EXPECT_EQ(q.findTask(c.id).rootPath, c.id == 'Z' ? "" : std::string(1, char(c.id)) + ":\\");
    EXPECT_EQ(q.activeCount(), 1);
  }
}

TEST(TaskQueue, MovesOfALoneJobChangeNothing) {
  TaskQueue q;
  q.addTask(job(3));
  q.moveUp(3);
  q.moveDown(3);
  q.moveToEnd(3);
  q.moveToFront(3);
  EXPECT_EQ(pendingIds(q), (std::vector<int32_t>{3}));
}

TEST(TaskQueue, RemovePendingAndClearPending) {
  TaskQueue q;
  for (int32_t id : {0, 1, 2, 3}) q.addTask(job(id));
  q.takeNext();                        // 0 active
  EXPECT_EQ(q.removePending(0), 0);    // active jobs are out of reach
  EXPECT_EQ(q.removePending(42), 0);
  EXPECT_EQ(q.removePending(2), 1);
  EXPECT_EQ(pendingIds(q), (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(q.activeCount(), 1);
  // After a removal the count may name a job still queued: the next add is refused.
  EXPECT_EQ(q.totalCount(), 3);
  EXPECT_EQ(q.addTask(job(q.totalCount())), 0);

  q.incrementRunning();
  q.clearPending();
  EXPECT_EQ(q.pendingCount(), 0);
  EXPECT_EQ(q.activeCount(), 1);
  EXPECT_EQ(q.runningCount(), 1);
}

TEST(TaskQueue, UpdateTaskKeepsTheStoredNumber) {
  TaskQueue q;
  q.addTask(job(1, "E:\\"));
  q.addTask(job(2, "F:\\"));
  q.takeNext();  // 1 active
  CopyTask change = job(99, "K:\\");
  change.state = 7;
  change.pairs = {{"p", 5}};
  for (int32_t id : {1, 2}) {
    q.updateTask(change, id);
    const CopyTask t = q.findTask(id);
    EXPECT_EQ(t.taskId, id);
    EXPECT_EQ(t.rootPath, "K:\\");
    EXPECT_EQ(t.state, 7);
    ASSERT_EQ(t.pairs.size(), 1u);
    EXPECT_EQ(t.pairs[0].number, 5);
  }
  EXPECT_TRUE(isDefault(q.findTask(99)));
  q.updateTask(change, 50);  // no match: nothing changes
  EXPECT_EQ(q.totalCount(), 2);
}

TEST(TaskQueue, RunningCounter) {
  TaskQueue q;
  q.incrementRunning();
  const int32_t before = q.runningCount();
  q.incrementRunning();
  q.decrementRunning();
  EXPECT_EQ(q.runningCount(), before);
  q.decrementRunning();
  q.decrementRunning();
  EXPECT_EQ(q.runningCount(), -1);
  q.clearRunning();
  EXPECT_EQ(q.runningCount(), 0);
}

}  // namespace
}  // namespace usbdup
