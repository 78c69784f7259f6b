// The copy worker: carries out one copy job on a thread of its own, from the
// reachability check of the target to its final status text.
#pragma once
#include <cstdint>

#include "platform/ui.h"

namespace usbdup {

// Runs the job `taskId` (worker thread).
void runCopyTask(int32_t taskId);

// Worker threads started and not yet at their very end. The dispatcher raises
// it before it starts a thread; the thread lowers it as its last act.
void workerStarting();
void workerEnded();
bool anyWorkerAlive();

// At exit: asks the running worker to stop at the next file boundary (the file
// being copied is finished or removed, never left truncated), and waits for it
// while handling the status texts it sends to the window.
void stopCopyWorkersAndWait(Ui& ui);
bool copyStopRequested();
// A new run of the program: workers may start again.
void allowCopyWorkers();

}  // namespace usbdup
