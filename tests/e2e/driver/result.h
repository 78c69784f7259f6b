// The end-to-end programs run inside a Wine virtual desktop (explorer
// /desktop=...), which does not hand a program's exit code back: the code is
// also left in the file named by USBDUP_E2E_RESULT for the runner to read.
#pragma once

namespace e2e {

// Flushes the output, leaves rc for the runner and answers rc (for main's return).
int reportResult(int rc);

}  // namespace e2e
