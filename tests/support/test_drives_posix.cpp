#include <sys/stat.h>

#include <cstdlib>

#include "drive_table.h"
#include "support/test_drives.h"

namespace usbdup {
namespace test {

bool mapTestDrive(char letter, const std::string& folder) {
  mapDrive(letter, folder);
  return true;
}

void unmapTestDrive(char letter) { unmapDrive(letter); }

bool runHostCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string unixPathOf(const std::string& folder) { return folder; }

std::string reachable(const std::string& windowsPath) { return hostPath(windowsPath); }

bool makeFolder(const std::string& windowsPath) {
  const std::string h = hostPath(windowsPath);
  struct stat st;
  return !h.empty() && (mkdir(h.c_str(), 0777) == 0 || (stat(h.c_str(), &st) == 0 && S_ISDIR(st.st_mode)));
}

}  // namespace test
}  // namespace usbdup
