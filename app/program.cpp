#include "app/program.h"
#include "jobs/copy_worker.h"

#include "app/events.h"

namespace usbdup {

namespace {
Program g_program;
// releaseAll runs once per programStart, whichever way the program ends.
bool g_started = false;
}  // namespace

Program& program() { return g_program; }

DeviceHook& deviceHook() { return *g_program.deviceHook; }
TaskQueue& taskQueue() { return *g_program.taskQueue; }
EventLog& eventLog() { return *g_program.eventLog; }
Ui& ui() { return *g_program.ui.load(std::memory_order_acquire); }

void programStart() {
  Program& p = g_program;
  p.deviceHook = std::make_unique<DeviceHook>();
  p.taskQueue = std::make_unique<TaskQueue>();
  p.eventLog = std::make_unique<EventLog>();
  p.settingsPath.clear();
  p.copyOnInsert = 0;
  p.masterSetMode = 0;
  p.masterFileTotal.store(0);
  p.ui.store(nullptr);
  p.censusDepth = 0;
  p.censusRestart = false;
  p.closeAfterCensus = false;
  allowCopyWorkers();
  p.windowDestroyed = false;
  g_started = true;
}

void releaseAll() {
  if (!g_started) return;
  g_started = false;
  Program& p = g_program;
  p.deviceHook.reset();
  p.settingsPath.clear();
  if (p.taskQueue) p.taskQueue->release();
  p.taskQueue.reset();
  p.eventLog.reset();  // its destructor is the log's destroy operation
}

}  // namespace usbdup
