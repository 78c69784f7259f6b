// The program-wide objects and values: created before the window, released by
// releaseAll when the program ends.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "device/device_hook.h"
#include "eventlog/event_log.h"
#include "jobs/task_queue.h"
#include "platform/ui.h"

namespace usbdup {

struct Program {
  std::unique_ptr<DeviceHook> deviceHook;
  std::unique_ptr<TaskQueue> taskQueue;
  std::unique_ptr<EventLog> eventLog;
  std::string settingsPath;
  // autocopyto as last loaded or saved.
  int32_t copyOnInsert = 0;
  // 1 only while the set-master box is open. UI thread only.
  int32_t masterSetMode = 0;
  // Files on all masters as counted by the last census; the worker reads it.
  std::atomic<int64_t> masterFileTotal{0};
  // The window in use; set by onWindowCreated.
  std::atomic<Ui*> ui{nullptr};

  // Census bookkeeping, UI thread only: how many censuses are on the stack,
  // whether the running one must count again, and a close that waits for it.
  int censusDepth = 0;
  bool censusRestart = false;
  bool closeAfterCensus = false;
  // Set by the will-be-destroyed event: no control may be touched after it.
  bool windowDestroyed = false;
};

Program& program();

// Shorthands for the objects every Part uses. Valid between programStart and
// releaseAll (deviceHook/taskQueue/eventLog) or after onWindowCreated (ui).
DeviceHook& deviceHook();
TaskQueue& taskQueue();
EventLog& eventLog();
Ui& ui();

}  // namespace usbdup
