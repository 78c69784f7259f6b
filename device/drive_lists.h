// The master and target lists of the main window, kept in step with the drives
// that come and go, and the set-master command.
#pragma once
#include <cstdint>
#include <string>

#include "common/text.h"
#include "platform/ui.h"

namespace usbdup {

// First row whose column-0 text equals text byte for byte; -1 if none.
int32_t findRowByText(Ui& ui, ListView list, const std::string& text);
// First targetList row carrying taskId as its value; -1 if none.
int32_t findTaskRow(Ui& ui, int32_t taskId);
// Writes a task's status into its targetList row, if the row still exists.
// The lookup and the write run together on the UI thread, so a row deleted in
// between can never receive another task's text. Callable from any thread.
void setTaskStatus(Ui& ui, int32_t taskId, int32_t column, const std::string& text);
// The same on the window in use.
void setTaskStatus(int32_t taskId, int32_t column, const std::string& text);

// The device watch's handlers (UI thread).
void onVolumeArrival(DriveMask mask);
void onVolumeRemoval(DriveMask mask);

}  // namespace usbdup
