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
  void reset(HANDLE h) {
    close();
    h_ = h;
  }
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

// Drive types that the drive list keeps: removable, fixed, remote, CD-ROM.
bool listedType(UINT type) { return type >= DRIVE_REMOVABLE && type <= DRIVE_CDROM; }

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
    // A disk file read synchronously comes short only at its end: no further
    // read is needed to see it.
    if (got < chunk) break;
  }
  FILETIME written;
  if (GetFileTime(from, nullptr, nullptr, &written)) SetFileTime(to, nullptr, nullptr, &written);
  return FlushFileBuffers(to) != 0;
}

// The source of a copy, open for reading, with its attributes. (Size and
// times come from the handle; GetFileInformationByHandle would give all at
// once but also asks for the volume's serial number, which under Wine is a
// round trip to the mount manager, several times the cost of the copy.)
struct CopySource {
  Handle handle{INVALID_HANDLE_VALUE};
  DWORD attributes = 0;

  bool open(const std::string& path) {
    attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    handle.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return handle.valid();
  }
  // The bits the copy carries (mask 0x27).
  DWORD bits() const { return attributes & kAttrWriteMask; }
};

// The rest of a copy once the target is open: data, time, flush, then the
// source's attributes unless the target was created with them. On any
// failure the half-written target is removed, so that nothing under `to`
// looks like a good copy.
bool finishCopy(CopySource& source, Handle& target, const std::string& to, bool attributesSet) {
  bool ok = copyData(source.handle.get(), target.get());
  ok = target.close() && ok;
  if (ok && !attributesSet) {
    const DWORD bits = source.bits();
    ok = succeeded(SetFileAttributesA(to.c_str(), bits ? bits : FILE_ATTRIBUTE_NORMAL));
  }
  if (!ok) {
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(to.c_str());
  }
  return ok;
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
  // Every file copied into a folder gives the folder its bits again. Reading
  // is a local question, writing opens the entry (under Wine, several server
  // round trips): skip the write when the bits are there already.
  const DWORD now = GetFileAttributesA(path.c_str());
  if (now != INVALID_FILE_ATTRIBUTES && (now & kAttrWriteMask) == attr) return true;
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
  CopySource source;
  if (!source.open(from)) return false;
  // Like CopyFileA: an existing target is replaced, but a read-only or hidden
  // one is refused rather than overwritten.
  Handle target(CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!target.valid()) return false;
  return finishCopy(source, target, to, false);
}

// CREATE_NEW takes the name and creates the file in one step. A file that
// carries only the archive bit (nearly all of them) is created with it, which
// spares the attribute write after the copy.
NewCopyResult Win32FileSystem::copyFileToNewName(const std::string& from, const std::string& to) {
  if (!pathFits(from) || !pathFits(to)) return NewCopyResult::Failed;
  CopySource source;
  if (!source.open(from)) return NewCopyResult::Failed;
  const bool archiveOnly = source.bits() == FILE_ATTRIBUTE_ARCHIVE;
  Handle target(CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            (archiveOnly ? FILE_ATTRIBUTE_ARCHIVE : FILE_ATTRIBUTE_NORMAL) | FILE_FLAG_SEQUENTIAL_SCAN,
                            nullptr));
  if (!target.valid()) {
    const DWORD error = GetLastError();
    // A folder of that name answers "access denied" rather than "exists".
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
        GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES)
      return NewCopyResult::NameTaken;
    return NewCopyResult::Failed;
  }
  return finishCopy(source, target, to, archiveOnly) ? NewCopyResult::Copied : NewCopyResult::Failed;
}

std::vector<std::string> Win32FileSystem::driveList() {
  std::vector<std::string> drives;
  // Every letter is asked afresh: under Wine, GetLogicalDrives does not see a
  // drive linked in after start-up, so its mask cannot stand in for the types.
  char root[] = "A:\\";
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    root[0] = letter;
    if (listedType(GetDriveTypeA(root))) drives.push_back(std::string{letter, ':'});
  }
  return drives;
}

// GetDriveTypeA is the one expensive question of a copy: under Wine it goes to
// the mount manager in another process (measured at 1 to 4 ms, more than a whole
// small file's copy), and the copy asks it for the target root before every
// file. What a drive's type can do between two files is known, though:
//  - the drive goes: its root can no longer be read, which GetFileAttributesA
//    (a local question, tens of microseconds) sees at once, and then the type
//    itself is asked;
//  - a drive without its medium (an empty card reader) is still listed and has
//    an unreadable root: asked every time too;
//  - a drive whose root stays readable keeps its type; the answer is reused
//    for up to a second and then asked again, so that even a device swapped
//    under the same letter between two checks is seen within that second
//    (Wine itself takes up to a second to show a changed drive link).
bool Win32FileSystem::driveListed(char letter) {
  const char root[] = {letter, ':', '\\', '\0'};
  if (letter < 'A' || letter > 'Z') return listedType(GetDriveTypeA(root));
  DriveTypeMemo& memo = driveTypes_[letter - 'A'];
  if (GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES) {
    memo.forget();
    return listedType(GetDriveTypeA(root));
  }
  const DWORD now = GetTickCount();
  UINT type = 0;
  if (memo.recall(now, type)) return listedType(type);
  type = GetDriveTypeA(root);
  memo.remember(now, type);
  return listedType(type);
}

bool Win32FileSystem::DriveTypeMemo::recall(DWORD now, UINT& type) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!known_ || now - askedAt_ >= kDriveTypeReuseMs) return false;
  type = type_;
  return true;
}

void Win32FileSystem::DriveTypeMemo::remember(DWORD now, UINT type) {
  std::lock_guard<std::mutex> lock(mutex_);
  known_ = true;
  askedAt_ = now;
  type_ = type;
}

void Win32FileSystem::DriveTypeMemo::forget() {
  std::lock_guard<std::mutex> lock(mutex_);
  known_ = false;
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
