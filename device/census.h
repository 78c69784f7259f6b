// The master census: the number of files on all master drives, the
// denominator of every copy's percentage. The window is busy while it runs.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

namespace usbdup {

// Counts all masters into masterFileTotal with the window in its busy state.
// Pending messages are processed as it goes. Called again while one runs (a
// master pulled meanwhile), it only makes the running census count afresh, so
// that the total always stems from one count of the masters listed at its end.
void runMasterCensus();
// Tells a running census that the master list changed under it.
void masterListChanged();

void enterBusyState();
void leaveBusyState();

// Adds the files below path (a folder, with or without its trailing backslash)
// to total; folders themselves are not counted. Processes pending messages in
// every folder and stops early when the running census is told to.
void countTreeFiles(const std::string& path, std::atomic<int64_t>& total);

}  // namespace usbdup
