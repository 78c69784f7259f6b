// A fresh folder for one test, removed with everything in it at the end.
// Natively it lies under /tmp and its path is a host path; in the Windows build
// it lies in the user's temp folder and its path is a Windows path.
#pragma once
#include <string>

namespace usbdup {
namespace test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() joined with a name by the platform's separator.
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

// The platform's path separator ('/' natively, '\\' on Windows).
char pathSeparator();

// Host-side helpers that bypass the file seam, to set up and inspect files.
bool writeHostFile(const std::string& path, const std::string& bytes);
// The file's bytes; empty when it cannot be read.
std::string readHostFile(const std::string& path);
bool hostFileExists(const std::string& path);
bool makeHostFolder(const std::string& path);
bool removeHostFile(const std::string& path);

}  // namespace test
}  // namespace usbdup
