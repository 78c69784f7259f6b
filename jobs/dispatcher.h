// The dispatcher: turns queued copy jobs into running workers, one target
// drive at a time, on each tick of the one-shot dispatch timer.
#pragma once
#include <cstdint>

namespace usbdup {

// The start routine of every worker thread: runs the job, then ends.
void copyThreadEntry(int32_t taskId);

// (onDispatchTick, the timer's handler, is declared with the window's events.)

// How a tick starts a worker thread: startThread unless a test put another in
// place (to make the start fail, or to see which jobs were started). nullptr
// restores startThread. UI thread only.
using ThreadStarter = bool (*)(void (*entry)(int32_t), int32_t param);
void setThreadStarter(ThreadStarter starter);

}  // namespace usbdup
