#include <windows.h>

#include <cstdlib>

#include "support/test_drives.h"

namespace usbdup {
namespace test {

namespace {

// Runs a Unix program through Wine's Z: drive and waits for it.
bool runUnix(const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0;
}

std::string dosDeviceLink(char letter) {
  const char* prefix = std::getenv("WINEPREFIX");
  if (!prefix || !*prefix) return std::string();
  return std::string(prefix) + "/dosdevices/" + static_cast<char>(letter | 0x20) + ":";
}

}  // namespace

std::string unixPathOf(const std::string& folder) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  static const auto toUnix =
      reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
  if (!toUnix) return std::string();
  WCHAR wide[MAX_PATH * 2];
  if (!MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH * 2)) return std::string();
  char* unix = toUnix(wide);
  if (!unix) return std::string();
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

bool mapTestDrive(char letter, const std::string& folder) {
  const std::string link = dosDeviceLink(letter);
  const std::string target = unixPathOf(folder);
  if (link.empty() || target.empty()) return false;
  // The link points at the real folder: one that leads through another
  // dosdevices link (c: for the temp folder) is not taken as a drive.
  // (Wine does not always give a shell's exit code back: the drive itself is checked.)
  runHostCommand("ln -sfn $(readlink -f " + target + ") " + link);
  // Wine keeps what it learnt of the drive letters for up to about a second:
  // wait until the new drive shows.
  char root[] = "?:\\";
  root[0] = letter;
  for (int i = 0; i < 60; ++i) {
    if (GetDriveTypeA(root) > DRIVE_NO_ROOT_DIR && GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}

void unmapTestDrive(char letter) {
  const std::string link = dosDeviceLink(letter);
  if (link.empty()) return;
  // The exit code of the Unix program does not always come back, and the
  // process handle may signal before the link is gone: wait for the drive
  // itself, until neither its type nor its root can be had any more.
  runUnix("Z:\\bin\\rm -f " + link);
  char root[] = "?:\\";
  root[0] = letter;
  for (int i = 0; i < 60; ++i) {
    if (GetDriveTypeA(root) <= DRIVE_NO_ROOT_DIR && GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES) return;
    Sleep(50);
  }
}

bool runHostCommand(const std::string& command) { return runUnix("Z:\\bin\\sh -c \"" + command + "\""); }

std::string reachable(const std::string& windowsPath) { return windowsPath; }

bool makeFolder(const std::string& windowsPath) {
  if (CreateDirectoryA(windowsPath.c_str(), nullptr)) return true;
  const DWORD attr = GetFileAttributesA(windowsPath.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace test
}  // namespace usbdup
