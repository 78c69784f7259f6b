#include "jobs/copy_worker.h"

#include <atomic>
#include <cctype>
#include <string>
#include <vector>

#include "app/program.h"
#include "common/text.h"
#include "copy/tree_copy.h"
#include "device/drive_lists.h"
#include "platform/files.h"

namespace usbdup {

namespace {

std::atomic<int> g_aliveWorkers{0};
std::atomic<bool> g_stopRequested{false};

void show(int32_t taskId, const char* text) { setTaskStatus(taskId, 1, text); }

// Connects the tree copy to the job's row and to the event log, and counts
// the files that failed, so that an incomplete stick is never called complete.
// Only the job writes its row, so a progress text equal to the last one it
// showed would change nothing on screen; it is skipped, which spares one
// round trip to the UI thread per file while the percentage stands still
// (a tree of thousands of small files would otherwise pay it for each).
class WorkerReporter : public CopyReporter {
 public:
  void showStatus(int32_t taskId, const std::string& text) override {
    if (text == shown_) return;
    setTaskStatus(taskId, 1, text);
    shown_ = text;
  }
  void logFailure(const std::string& time, const std::string& kind, const std::string& message) override {
    ++failures;
    addLogEntry(eventLog(), time, kind, message);
  }
  bool stopRequested() override { return g_stopRequested.load(); }
  int64_t failures = 0;

 private:
  std::string shown_;  // the last progress text this job showed
};

// The master roots as the list holds them when the copy loop starts, read in
// one go on the UI thread: rows pulled meanwhile cannot shift the loop onto a
// missing or repeated row.
std::vector<std::string> masterRootsSnapshot(Ui& ui) {
  std::vector<std::string> roots;
  ui.runOnUiThread([&] {
    const int32_t n = ui.rowCount(ListView::masterList);
    for (int32_t r = 0; r < n; ++r) roots.push_back(ui.cellText(ListView::masterList, r, 0));
  });
  return roots;
}

bool sameDrive(const std::string& a, const std::string& b) {
  return !a.empty() && !b.empty() &&
         std::toupper(static_cast<unsigned char>(a[0])) == std::toupper(static_cast<unsigned char>(b[0]));
}

// The job's copy step; answers when the copy loop ran to its end.
void copyJob(Ui& ui, const CopyTask& job) {
  const int32_t id = job.taskId;
  show(id, "检查设备存储是否正常...");
  uint64_t size = 0;
  const std::string volumeRoot = job.rootPath.substr(0, 1) + ":\\";
  if (!fileSystem().volumeTotalSize(volumeRoot, size)) {
    show(id, "设备存储无法访问，操作停止！");
    return;
  }
  show(id, "设备正常，继续操作！");
  show(id, "正在复制文件到设备...");

  int64_t copiedCount = 0;
  int32_t percent = 0;
  WorkerReporter reporter;
  for (const std::string& masterRoot : masterRootsSnapshot(ui)) {
    if (g_stopRequested.load()) return;
    // No tree copy without a master root, and never a drive into itself: it
    // would grow without end.
    if (masterRoot.empty() || sameDrive(masterRoot, job.rootPath)) continue;
    copyTree(masterRoot, masterRoot, job.rootPath, job, program().masterFileTotal.load(), copiedCount, percent,
             reporter);
  }
  if (g_stopRequested.load()) return;  // closing: the stick is not complete
  show(id, reporter.failures > 0 ? "部分文件复制失败，请查看日志！" : "复制完成，请拔除！");
  if (ui.rowCount(ListView::masterList) < 1) show(id, "无母盘设备，停止操作！");
}

}  // namespace

void runCopyTask(int32_t taskId) {
  Ui& ui = usbdup::ui();
  CopyTask job = taskQueue().findTask(taskId);
  if (!endsWithBackslash(job.rootPath)) job.rootPath += '\\';

  if (ui.isChecked(Control::copySwitch)) {
    // A job whose row went before it started belongs to a stick that was
    // pulled: its letter may now name another stick, which has a job of its
    // own, so nothing is copied. The row is looked up in one go on the UI
    // thread, where rows are deleted.
    bool rowThere = false;
    ui.runOnUiThread([&] { rowThere = findTaskRow(ui, taskId) >= 0; });
    if (rowThere) copyJob(ui, job);
  }
  if (!ui.isChecked(Control::formatSwitch) && !ui.isChecked(Control::copySwitch)) {
    show(taskId, "未选定任何功能，操作停止！");
  }
  // The end of the job is carried out on the UI thread, so that it can never
  // fall between a tick's test of `running` and its stopping of the timer.
  // When the program is closing no job follows, and the queue this would
  // touch is about to be released: nothing is posted then.
  if (g_stopRequested.load()) return;
  ui.postToUiThread([] {
    taskQueue().decrementRunning();
    usbdup::ui().setTimerPeriod(1000);
  });
}

void workerStarting() { g_aliveWorkers.fetch_add(1); }
void workerEnded() { g_aliveWorkers.fetch_sub(1); }
bool anyWorkerAlive() { return g_aliveWorkers.load() > 0; }
bool copyStopRequested() { return g_stopRequested.load(); }
void allowCopyWorkers() { g_stopRequested.store(false); }

void stopCopyWorkersAndWait(Ui& ui) {
  g_stopRequested.store(true);
  ui.waitHandlingSentMessages([] { return !anyWorkerAlive(); });
}

}  // namespace usbdup
