// Drive letters for the posix layer: each letter maps to a host folder, as a
// Wine prefix's dosdevices links do. Tests and benchmarks set the table.
#pragma once
#include <string>

namespace usbdup {

void mapDrive(char letter, const std::string& hostFolder);
void unmapDrive(char letter);
void clearDrives();
// Host folder of a mapped letter, or empty.
std::string driveFolder(char letter);

// Host path of a Windows-style path: "P:\a\b" -> "<folder of P>/a/b"; a path
// that does not start with a drive letter and colon is taken as a host path.
// Backslashes (at character starts only) become slashes. Empty when the
// letter is not mapped.
std::string hostPath(const std::string& path);

}  // namespace usbdup
