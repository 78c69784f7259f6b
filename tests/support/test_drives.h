// Drive letters for tests. Natively a letter is an entry of the drive table;
// under Wine it is a real drive: a link <prefix>/dosdevices/<letter>: to a Unix
// folder, made by starting /bin/ln from inside the test (DefineDosDeviceA gives
// no usable drive under Wine, and CreateSymbolicLinkA makes no Unix link).
// Wine sees a new or removed link only after up to a second, so mapping and
// unmapping wait until GetDriveTypeA shows the change.
// Tests under Wine use only the letters M, N, O and P.
#pragma once
#include <string>

namespace usbdup {
namespace test {

// Maps letter to folder (a path as TempDir gives it); false when it cannot.
bool mapTestDrive(char letter, const std::string& folder);
void unmapTestDrive(char letter);

// Runs a shell command on the host (/bin/sh -c); true when it exits with 0.
bool runHostCommand(const std::string& command);

// The Unix path of a folder given as TempDir gives it.
std::string unixPathOf(const std::string& folder);

// A path through which the test itself reaches "M:\a\b" for setting up and
// checking files (the host path natively, the Windows path under Wine).
std::string reachable(const std::string& windowsPath);

// Creates one folder reached by reachable(); true when it exists afterwards.
bool makeFolder(const std::string& windowsPath);

}  // namespace test
}  // namespace usbdup
