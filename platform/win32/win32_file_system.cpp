// The Win32 file layer: ANSI calls only, so paths travel as code page 936 bytes
// exactly as the logic holds them.
#include "win32_file_system.h"

#include <windows.h>

#include <memory>
#include <new>

namespace usbdup {

namespace {

// The ANSI calls take at most MAX_PATH - 1 bytes; refusing longer paths here
// keeps every call's answer the same whatever the Windows version does with them.
bool pathFits(const std::string& path) { return !path.empty() && path.size() < MAX_PATH; }

bool hasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// GetFileAttributesA for a plain name; the FindFirstFileA route for patterns and
// names ending in a separator, where the two calls answer differently.
bool plainName(const std::string& path) {
  return !hasWildcard(path) && path.back() != '\\' && path.back() != '/';
}

// The one place where a Win32 answer becomes the layer's result. The logic
// only ever learns success or failure (the caller has nothing to do with the
// reason), so GetLastError is not kept.
bool succeeded(BOOL result) { return result != FALSE; }

class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (valid()) FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

class Win32Listing : public Listing {
 public:
  explicit Win32Listing(const std::string& pattern) : find_(FindFirstFileA(pattern.c_str(), &data_)) {
    pending_ = find_.valid();
  }
  bool opened() const { return find_.valid(); }
  bool next(DirEntry& entry) override {
    if (!pending_) return false;
    entry.name = data_.cFileName;
    entry.attributes = data_.dwFileAttributes;
    pending_ = FindNextFileA(find_.get(), &data_) != 0;
    return true;
  }

 private:
  WIN32_FIND_DATAA data_{};
  FindHandle find_;
  bool pending_ = false;
};

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool close() {
    if (!valid()) return true;
    const bool ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

// Large enough that a big file costs few calls, small files get a buffer of
// their own size.
constexpr DWORD kMaxCopyBuffer = 1u << 20;
constexpr DWORD kMinCopyBuffer = 1u << 12;

// The data part of a copy: every byte of `from` into the fresh file `to`, the
// source's last-write time, then a flush so that the data is on the medium.
bool copyData(HANDLE from, HANDLE to) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(from, &size)) return false;
  DWORD chunk = kMaxCopyBuffer;
  if (size.QuadPart < kMaxCopyBuffer) chunk = static_cast<DWORD>(size.QuadPart) + 1;  // +1: the end shows at once
  if (chunk < kMinCopyBuffer) chunk = kMinCopyBuffer;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[chunk]);
  if (!buffer) return false;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(from, buffer.get(), chunk, &got, nullptr)) return false;
    if (got == 0) break;
    DWORD done = 0;
    while (done < got) {
      DWORD wrote = 0;
      if (!WriteFile(to, buffer.get() + done, got - done, &wrote, nullptr) || wrote == 0) return false;
      done += wrote;
    }
  }
  FILETIME written;
  if (GetFileTime(from, nullptr, nullptr, &written)) SetFileTime(to, nullptr, nullptr, &written);
  return FlushFileBuffers(to) != 0;
}

}  // namespace

bool Win32FileSystem::entryExists(const std::string& path) {
  if (!pathFits(path)) return false;
  if (plainName(path)) return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA(path.c_str(), &data));
  return find.valid();
}

bool Win32FileSystem::folderExists(const std::string& path) {
  if (!pathFits(path)) return false;
  if (plainName(path)) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
  }
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA(path.c_str(), &data));
  if (!find.valid()) return false;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return true;
  } while (FindNextFileA(find.get(), &data));
  return false;
}

bool Win32FileSystem::createFolder(const std::string& path) {
  return pathFits(path) && succeeded(CreateDirectoryA(path.c_str(), nullptr));
}

bool Win32FileSystem::deleteFile(const std::string& path) {
  return pathFits(path) && succeeded(DeleteFileA(path.c_str()));
}

bool Win32FileSystem::replaceFile(const std::string& from, const std::string& to) {
  return pathFits(from) && pathFits(to) &&
         succeeded(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

bool Win32FileSystem::readAttributes(const std::string& path, uint32_t& bits) {
  if (!pathFits(path)) return false;
  const DWORD attr = GetFileAttributesA(path.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return false;
  bits = attr & kAttrReadMask;
  return true;
}

bool Win32FileSystem::writeAttributes(const std::string& path, uint32_t bits) {
  if (!pathFits(path)) return false;
  // 0 would mean "leave as is" to some callers; FILE_ATTRIBUTE_NORMAL is the
  // documented way to clear every bit.
  DWORD attr = bits & kAttrWriteMask;
  if (attr == 0) attr = FILE_ATTRIBUTE_NORMAL;
  return succeeded(SetFileAttributesA(path.c_str(), attr));
}

std::unique_ptr<Listing> Win32FileSystem::listFolder(const std::string& pattern) {
  if (!pathFits(pattern)) return nullptr;
  auto listing = std::make_unique<Win32Listing>(pattern);
  if (!listing->opened()) return nullptr;
  return listing;
}

// CopyFileA neither flushes (a stick pulled after "done" may lose the tail of
// the file) nor, under every Windows or Wine version, removes what it wrote when
// it fails part-way. The copy is therefore made here: the data, the source's
// times, a flush, then the source's attributes; on any failure the half-written
// target is removed so that nothing under `to` looks like a good copy.
bool Win32FileSystem::copyFile(const std::string& from, const std::string& to) {
  if (!pathFits(from) || !pathFits(to)) return false;
  const DWORD attr = GetFileAttributesA(from.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return false;
  Handle source(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.valid()) return false;
  // Like CopyFileA: an existing target is replaced, but a read-only or hidden
  // one is refused rather than overwritten.
  Handle target(CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!target.valid()) return false;
  bool ok = copyData(source.get(), target.get());
  ok = target.close() && ok;
  if (ok) ok = succeeded(SetFileAttributesA(to.c_str(), (attr & kAttrWriteMask) ? (attr & kAttrWriteMask)
                                                                                    : FILE_ATTRIBUTE_NORMAL));
  if (!ok) {
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(to.c_str());
  }
  return ok;
}

std::vector<std::string> Win32FileSystem::driveList() {
  std::vector<std::string> drives;
  // Every letter is asked afresh: under Wine, GetLogicalDrives does not see a
  // drive linked in after start-up, so its mask cannot stand in for the types.
  char root[] = "A:\\";
  for (int i = 0; i < 26; ++i) {
    root[0] = static_cast<char>('A' + i);
    const UINT type = GetDriveTypeA(root);
    if (type >= DRIVE_REMOVABLE && type <= DRIVE_CDROM) drives.push_back(std::string(root, 2));
  }
  return drives;
}

bool Win32FileSystem::volumeTotalSize(const std::string& root, uint64_t& bytes) {
  if (!pathFits(root)) return false;
  ULARGE_INTEGER freeToCaller, total, totalFree;
  if (!GetDiskFreeSpaceExA(root.c_str(), &freeToCaller, &total, &totalFree)) return false;
  bytes = total.QuadPart;
  return true;
}

FileSystem& platformFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace usbdup
