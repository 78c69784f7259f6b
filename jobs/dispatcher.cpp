#include "jobs/dispatcher.h"

#include "app/events.h"
#include "app/program.h"
#include "device/drive_lists.h"
#include "jobs/copy_worker.h"
#include "platform/system.h"

namespace usbdup {

namespace {
ThreadStarter g_threadStarter = startThread;
}  // namespace

void setThreadStarter(ThreadStarter starter) { g_threadStarter = starter ? starter : startThread; }

void copyThreadEntry(int32_t taskId) {
  runCopyTask(taskId);
  workerEnded();  // last act: nothing of the program is touched after it
}

void onDispatchTick() {
  TaskQueue& queue = taskQueue();
  bool startFailed = false;
  // `running` is lowered only on this thread (the worker posts its end here),
  // so it cannot drop between the test below and the timer's stop at the end.
  // Once the program is closing, no new worker may start.
  while (!copyStopRequested() && queue.pendingCount() > 0 && queue.runningCount() < 1) {
    const CopyTask job = queue.takeNext();
    queue.incrementRunning();
    workerStarting();
    if (!g_threadStarter(copyThreadEntry, job.taskId)) {
      // Without a remedy `running` would stay raised and no later job would
      // ever be dispatched: lower it, say so in the job's row, and tick again.
      workerEnded();
      queue.decrementRunning();
      setTaskStatus(job.taskId, 1, "复制线程启动失败，操作停止！");
      startFailed = true;
      break;
    }
  }
  // Every tick ends with the timer stopped; after a failed start it is armed
  // again so that the jobs behind it still run.
  ui().setTimerPeriod(startFailed ? 1000 : 0);
}

}  // namespace usbdup
