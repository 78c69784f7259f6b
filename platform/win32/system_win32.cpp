// Program folder, INI files and threads over the ANSI Win32 calls.
#include <windows.h>

#include <new>
#include <vector>

#include "common/text.h"
#include "platform/system.h"

namespace usbdup {

namespace {
// GetPrivateProfileStringA reads into a buffer of this size.
const DWORD kProfileBuffer = 10240;

struct ThreadStart {
  void (*entry)(int32_t);
  int32_t param;
};

DWORD WINAPI threadMain(LPVOID arg) {
  const ThreadStart start = *static_cast<ThreadStart*>(arg);
  delete static_cast<ThreadStart*>(arg);
  start.entry(start.param);
  return 0;
}
}  // namespace

std::string programFolder() {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size()) {
      const std::string path(buf.data(), n);
      // The last backslash at a character start: a GBK trail byte can be 0x5C.
      size_t cut = std::string::npos;
      for (size_t i = 0; i < path.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(path[i]))) {
          ++i;
        } else if (path[i] == '\\') {
          cut = i;
        }
      }
      return cut == std::string::npos ? std::string() : path.substr(0, cut);
    }
    buf.resize(buf.size() * 2);  // the name was cut short
  }
}

bool startThread(void (*entry)(int32_t), int32_t param) {
  ThreadStart* start = new (std::nothrow) ThreadStart{entry, param};
  if (!start) return false;
  HANDLE thread = CreateThread(nullptr, 0, threadMain, start, 0, nullptr);
  if (!thread) {
    delete start;
    return false;
  }
  CloseHandle(thread);  // never joined
  return true;
}

std::string readProfileString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& fallback) {
  std::vector<char> buf(kProfileBuffer);
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buf.data(),
                                           kProfileBuffer, path.c_str());
  return std::string(buf.data(), n);
}

bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

}  // namespace usbdup
