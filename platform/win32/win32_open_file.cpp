// Opening, reading and writing files for the Win32 backend. Files are shared
// for reading and writing, so that an operator may look at the log (or another
// program write to it) while this program keeps it open.
#include <windows.h>

#include "win32_file_system.h"

namespace usbdup {

namespace {

class Win32File : public File {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override { CloseHandle(handle_); }

  long long read(char* buf, size_t size) override {
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(handle_, buf, want, &got, nullptr)) return -1;
    return got;
  }

  bool write(const char* data, size_t size) override {
    while (size > 0) {
      const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD put = 0;
      if (!WriteFile(handle_, data, want, &put, nullptr) || put == 0) return false;
      data += put;
      size -= put;
    }
    return true;
  }

  long long size() override {
    LARGE_INTEGER bytes;
    return GetFileSizeEx(handle_, &bytes) ? static_cast<long long>(bytes.QuadPart) : -1;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<File> Win32FileSystem::openFile(const std::string& path, OpenMode mode) {
  DWORD access = 0;
  DWORD disposition = 0;
  switch (mode) {
    case OpenMode::ReadExisting: access = GENERIC_READ; disposition = OPEN_EXISTING; break;
    case OpenMode::AppendExisting: access = FILE_APPEND_DATA; disposition = OPEN_EXISTING; break;
    case OpenMode::CreateTruncate: access = GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
  }
  if (path.empty() || access == 0) return nullptr;
  const HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(handle);
}

}  // namespace usbdup
