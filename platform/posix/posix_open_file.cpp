// Opening, reading and writing files for the posix backend.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "drive_table.h"
#include "posix_file_system.h"

namespace usbdup {

namespace {

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }

  long long read(char* buf, size_t size) override {
    for (;;) {
      const ssize_t got = ::read(fd_, buf, size);
      if (got >= 0) return got;
      if (errno != EINTR) return -1;
    }
  }

  bool write(const char* data, size_t size) override {
    while (size > 0) {
      const ssize_t put = ::write(fd_, data, size);
      if (put < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      data += put;
      size -= static_cast<size_t>(put);
    }
    return true;
  }

  long long size() override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
  }

 private:
  int fd_;
};

int openFlags(OpenMode mode) {
  switch (mode) {
    case OpenMode::ReadExisting: return O_RDONLY;
    case OpenMode::AppendExisting: return O_WRONLY | O_APPEND;
    case OpenMode::CreateTruncate: return O_WRONLY | O_CREAT | O_TRUNC;
  }
  return -1;
}

}  // namespace

std::unique_ptr<File> PosixFileSystem::openFile(const std::string& path, OpenMode mode) {
  const std::string host = hostPath(path);
  const int flags = openFlags(mode);
  if (host.empty() || flags < 0) return nullptr;
  const int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  // Windows opens no folder as a file; reading one here would only fail later.
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFile>(fd);
}

}  // namespace usbdup
