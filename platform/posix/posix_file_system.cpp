// The posix file layer: Windows-style paths are mapped to host paths through the
// drive table, and every answer is the one the ANSI Win32 call would give, so
// that the logic above behaves the same on both layers.
#include "posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "drive_table.h"

namespace usbdup {

namespace {

// The ANSI calls refuse paths of MAX_PATH (260) bytes and more.
constexpr size_t kMaxPath = 260;

// Wine and Samba keep the DOS bits that a Unix file system lacks in this
// extended attribute, as text such as "0x6".
constexpr const char* kDosAttrName = "user.DOSATTRIB";
constexpr uint32_t kXattrBits = kAttrHidden | kAttrSystem | kAttrArchive;

// A path the ANSI calls could take: not too long, and valid code page 936 (a
// lead byte 0x81..0xFE followed by a trail byte 0x40..0xFE other than 0x7F;
// 0x80 and 0xFF stand alone in no character). Windows cannot name a file with
// anything else, so neither can this layer.
bool validPath(const std::string& path) {
  if (path.empty() || path.size() >= kMaxPath) return false;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (c == 0) return false;
    if (c < 0x80) continue;
    if (c == 0x80 || c == 0xFF || i + 1 == path.size()) return false;
    const unsigned char t = static_cast<unsigned char>(path[++i]);
    if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
  }
  return true;
}

bool endsWithSeparator(const std::string& path) { return path.back() == '\\' || path.back() == '/'; }

// Host path of a valid Windows path; empty when the path is invalid or its
// drive is not mapped.
std::string host(const std::string& path) { return validPath(path) ? hostPath(path) : std::string(); }

bool readDosBitsFd(int fd, uint32_t& bits) {
  char text[64];
  const ssize_t n = fgetxattr(fd, kDosAttrName, text, sizeof text - 1);
  if (n <= 0) return false;
  text[n] = '\0';  // Samba follows the text with a NUL and binary data
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 16);
  if (end == text) return false;
  bits = static_cast<uint32_t>(value) & kXattrBits;
  return true;
}

bool writeDosBits(const char* hostName, uint32_t bits) {
  char text[16];
  const int n = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(bits & kXattrBits));
  return setxattr(hostName, kDosAttrName, text, static_cast<size_t>(n), 0) == 0;
}

bool writeDosBitsFd(int fd, uint32_t bits) {
  char text[16];
  const int n = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(bits & kXattrBits));
  return fsetxattr(fd, kDosAttrName, text, static_cast<size_t>(n), 0) == 0;
}

// Attribute bits of a host entry, as GetFileAttributesA gives them. A file that
// carries no DOS bits reads as archive, like a fresh file on Windows. A folder
// keeps its read-only bit among the DOS bits: on Windows that bit does not stop
// writing into the folder, while a Unix folder without write permission would.
bool hostAttributes(const std::string& hostName, const struct stat& st, uint32_t& bits) {
  const bool folder = S_ISDIR(st.st_mode);
  uint32_t dos = folder ? 0u : static_cast<uint32_t>(kAttrArchive);
  char text[64];
  const ssize_t n = getxattr(hostName.c_str(), kDosAttrName, text, sizeof text - 1);
  if (n > 0) {
    text[n] = '\0';
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 16);
    if (end != text) dos = static_cast<uint32_t>(value) & (kXattrBits | (folder ? static_cast<uint32_t>(kAttrReadOnly) : 0u));
  }
  bits = dos;
  if (folder) bits |= kAttrDirectory;
  if (!(st.st_mode & S_IWUSR)) bits |= kAttrReadOnly;
  bits &= kAttrReadMask;
  return true;
}

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() { close(); }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset(int fd) {
    close();
    fd_ = fd;
  }
  bool close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

 private:
  int fd_;
};

class PosixListing : public Listing {
 public:
  PosixListing(DIR* dir, std::string folder) : dir_(dir), folder_(std::move(folder)) {}
  ~PosixListing() override { closedir(dir_); }
  bool next(DirEntry& entry) override {
    for (;;) {
      errno = 0;
      const dirent* d = readdir(dir_);
      if (!d) return false;
      bool folder = false;
      if (d->d_type == DT_DIR) {
        folder = true;
      } else if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
        struct stat st;
        if (stat((folder_ + d->d_name).c_str(), &st) != 0) continue;  // gone since, or a broken link
        folder = S_ISDIR(st.st_mode);
      }
      entry.name = d->d_name;
      entry.attributes = folder ? static_cast<uint32_t>(kAttrDirectory) : 0u;
      return true;
    }
  }

 private:
  DIR* dir_;
  std::string folder_;  // host folder with a trailing slash
};

// Copies the bytes of `in` to `out`: the kernel's copy first (no data through
// user space), then plain read/write where the file systems do not support it.
// Either way up to the end of the source as it is now, even if it grew since
// its size was taken.
bool copyBytes(int in, int out, off_t size) {
  constexpr size_t kChunk = 1u << 30;
  off_t done = 0;
  for (;;) {
    const ssize_t n = copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
    if (n > 0) {
      done += n;
      continue;
    }
    // The end of a regular file; a file system that answers 0 earlier gets
    // the rest through read below.
    if (n == 0 && done >= size) return true;
    if (n == 0) break;
    if (errno == EINTR) continue;
    if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF) break;
    return false;
  }
  constexpr size_t kBuffer = 1u << 20;
  std::unique_ptr<char[]> buffer(new char[kBuffer]);
  for (;;) {
    const ssize_t got = read(in, buffer.get(), kBuffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    ssize_t put = 0;
    while (put < got) {
      const ssize_t wrote = write(out, buffer.get() + put, static_cast<size_t>(got - put));
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) return false;
      put += wrote;
    }
  }
}

// The source side of a copy: open, a regular file, with its DOS bits.
struct CopySource {
  FdCloser fd{-1};
  struct stat st {};
  uint32_t dosBits = kAttrArchive;  // what a file without DOS bits reads as

  bool open(const std::string& hostName) {
    fd.reset(::open(hostName.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid() || fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    readDosBitsFd(fd.get(), dosBits);
    return true;
  }
};

// The rest of a copy once the target is open: data, last-write time, DOS
// bits, mode, then a flush, so that a copy reported as done is on the medium.
// A fresh target carries no DOS bits and so reads as archive already. On any
// failure the target is removed: nothing under its name may look like a good copy.
bool finishCopy(CopySource& source, FdCloser& out, const std::string& target, bool fresh) {
  const struct stat& st = source.st;
  bool ok = copyBytes(source.fd.get(), out.get(), st.st_size);
  if (ok) {
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ok = futimens(out.get(), times) == 0 &&
         (fresh && source.dosBits == kAttrArchive ? true : writeDosBitsFd(out.get(), source.dosBits)) &&
         fchmod(out.get(), st.st_mode & 07777) == 0 && fsync(out.get()) == 0;
  }
  ok = out.close() && ok;
  if (!ok) unlink(target.c_str());
  return ok;
}

}  // namespace

bool PosixFileSystem::entryExists(const std::string& path) {
  const std::string h = host(path);
  if (h.empty() || endsWithSeparator(path)) return false;
  struct stat st;
  return lstat(h.c_str(), &st) == 0;
}

bool PosixFileSystem::folderExists(const std::string& path) {
  const std::string h = host(path);
  if (h.empty() || endsWithSeparator(path)) return false;
  struct stat st;
  return stat(h.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::createFolder(const std::string& path) {
  const std::string h = host(path);
  return !h.empty() && mkdir(h.c_str(), 0777) == 0;
}

bool PosixFileSystem::deleteFile(const std::string& path) {
  const std::string h = host(path);
  struct stat st;
  if (h.empty() || lstat(h.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return unlink(h.c_str()) == 0;
}

bool PosixFileSystem::replaceFile(const std::string& from, const std::string& to) {
  const std::string a = host(from);
  const std::string b = host(to);
  if (a.empty() || b.empty()) return false;
  if (std::rename(a.c_str(), b.c_str()) != 0) return false;
  // The move is only done once the folder entry is on the medium.
  const size_t slash = b.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : b.substr(0, slash));
  FdCloser dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dir.valid() && fsync(dir.get()) == 0;
}

bool PosixFileSystem::readAttributes(const std::string& path, uint32_t& bits) {
  const std::string h = host(path);
  struct stat st;
  if (h.empty() || stat(h.c_str(), &st) != 0) return false;
  return hostAttributes(h, st, bits);
}

bool PosixFileSystem::writeAttributes(const std::string& path, uint32_t bits) {
  const std::string h = host(path);
  struct stat st;
  if (h.empty() || stat(h.c_str(), &st) != 0) return false;
  bits &= kAttrWriteMask;
  if (S_ISDIR(st.st_mode)) {
    // A folder's read-only bit stays among the DOS bits (see hostAttributes);
    // a folder made read-only elsewhere gets its write permission back.
    if (!(st.st_mode & S_IWUSR) && chmod(h.c_str(), st.st_mode | S_IWUSR) != 0) return false;
    char text[16];
    const int n = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(bits & (kXattrBits | kAttrReadOnly)));
    // Every file copied into a folder writes its bits again: skip the write
    // when they are already there.
    char old[16];
    const ssize_t m = getxattr(h.c_str(), kDosAttrName, old, sizeof old);
    if (m == n && std::memcmp(old, text, static_cast<size_t>(n)) == 0) return true;
    return setxattr(h.c_str(), kDosAttrName, text, static_cast<size_t>(n), 0) == 0;
  }
  mode_t mode = st.st_mode & 07777;
  if (bits & kAttrReadOnly)
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else
    mode |= S_IWUSR;
  if (mode != (st.st_mode & 07777) && chmod(h.c_str(), mode) != 0) return false;
  return writeDosBits(h.c_str(), bits);
}

std::unique_ptr<Listing> PosixFileSystem::listFolder(const std::string& pattern) {
  // Only "folder\*.*" is used: every entry of the folder.
  if (pattern.size() < 4 || pattern.compare(pattern.size() - 4, 4, "\\*.*") != 0) return nullptr;
  const std::string folderPath = pattern.substr(0, pattern.size() - 3);  // keeps the backslash
  if (!validPath(pattern)) return nullptr;
  std::string h = hostPath(folderPath);
  if (h.empty()) return nullptr;
  if (h.back() != '/') h += '/';
  DIR* dir = opendir(h.c_str());
  if (!dir) return nullptr;
  return std::make_unique<PosixListing>(dir, h);
}

// Like CopyFileA (an existing target is replaced, mode, DOS bits and the
// last-write time go along), and further: the copy is flushed before it counts
// as done, and a copy that fails part-way is removed, so that nothing under
// `to` looks like a good copy.
bool PosixFileSystem::copyFile(const std::string& from, const std::string& to) {
  const std::string a = host(from);
  const std::string b = host(to);
  if (a.empty() || b.empty()) return false;
  CopySource source;
  if (!source.open(a)) return false;
  // As on Windows, a read-only or hidden target is not overwritten. The usual
  // case, a free name, costs no extra call.
  FdCloser out(open(b.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  bool fresh = true;
  if (!out.valid()) {
    struct stat old;
    uint32_t oldBits = 0;
    if (errno != EEXIST || lstat(b.c_str(), &old) != 0 || S_ISDIR(old.st_mode) || !hostAttributes(b, old, oldBits) ||
        (oldBits & (kAttrReadOnly | kAttrHidden)))
      return false;
    out.reset(open(b.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (!out.valid()) return false;
    fresh = false;
  }
  return finishCopy(source, out, b, fresh);
}

// O_EXCL takes the name and creates the file in one step; it also refuses a
// dangling symbolic link, which lstat (entryExists) counts as an entry too.
NewCopyResult PosixFileSystem::copyFileToNewName(const std::string& from, const std::string& to) {
  const std::string a = host(from);
  const std::string b = host(to);
  if (a.empty() || b.empty()) return NewCopyResult::Failed;
  CopySource source;
  if (!source.open(a)) return NewCopyResult::Failed;
  FdCloser out(open(b.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!out.valid()) return errno == EEXIST ? NewCopyResult::NameTaken : NewCopyResult::Failed;
  return finishCopy(source, out, b, true) ? NewCopyResult::Copied : NewCopyResult::Failed;
}

std::vector<std::string> PosixFileSystem::driveList() {
  std::vector<std::string> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter)
    if (driveListed(letter)) drives.push_back(std::string{letter, ':'});
  return drives;
}

// A mapped letter is a drive while its folder is there.
bool PosixFileSystem::driveListed(char letter) {
  const std::string folder = driveFolder(letter);
  struct stat st;
  return !folder.empty() && stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::volumeTotalSize(const std::string& root, uint64_t& bytes) {
  const std::string h = host(root);
  struct statvfs vfs;
  if (h.empty() || statvfs(h.c_str(), &vfs) != 0) return false;
  bytes = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
  return true;
}

FileSystem& platformFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace usbdup
