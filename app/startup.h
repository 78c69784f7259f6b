// Start-up and shut-down steps that the window's events run.
#pragma once

namespace usbdup {

// Creates the log folder, opens and loads log\syslog.log. On failure shows the
// start-up failure box and answers false: the program must end.
bool startEventLog();

}  // namespace usbdup
