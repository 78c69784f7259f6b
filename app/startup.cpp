#include "app/startup.h"

#include "app/events.h"
#include "app/program.h"
#include "app/settings.h"
#include "device/drive_lists.h"
#include "jobs/copy_worker.h"
#include "platform/files.h"
#include "platform/system.h"

namespace usbdup {

bool startEventLog() {
  const std::string folder = programFolder() + "\\log";
  // An existing folder is fine; one that cannot be made shows up when opening.
  fileSystem().createFolder(folder);
  EventLog& log = eventLog();
  if (log.open(folder + "\\syslog.log") && log.load()) return true;
  ui().messageBox("日志系统初始化失败！", "初始化出现问题！", kBoxError);
  return false;
}

bool onWindowCreated(Ui& window, WindowHandle handle) {
  Program& p = program();
  p.ui.store(&window, std::memory_order_release);
  p.windowDestroyed = false;
  if (!startEventLog()) return false;
  p.settingsPath = programFolder() + "\\setup.ini";
  loadSettings();
  applyCopySwitch();
  window.setTimerPeriod(0);
  taskQueue().reset();
  installDeviceHook(handle, onVolumeArrival, onVolumeRemoval);
  p.masterSetMode = 0;
  return true;
}

void onWindowDestroying() {
  removeDeviceHook();
  // A worker still copying stops at its next file boundary; it is waited for
  // here, while the window can still take the status texts it sends, so that
  // neither the queue nor the log is released under it.
  if (program().ui.load() != nullptr) stopCopyWorkersAndWait(ui());
  program().windowDestroyed = true;
}

}  // namespace usbdup
