// A file system that forwards to the platform's own and fails the Nth call of
// one chosen kind, to prove what is left behind after each failure point.
#pragma once
#include <string>

#include "platform/files.h"

namespace usbdup {
namespace test {

enum class FsCall {
  EntryExists, FolderExists, CreateFolder, DeleteFile, ReplaceFile, ReadAttributes,
  WriteAttributes, ListFolder, CopyFile, DriveList, VolumeTotalSize, OpenFile, DriveListed, CopyFileToNewName, Count
};

const char* fsCallName(FsCall call);

class FailingFileSystem : public FileSystem {
 public:
  // Fails the nth (1-based) call of `kind`; 0 fails none and only counts.
  FailingFileSystem(FsCall kind, int nth) : kind_(kind), nth_(nth) {}
  int calls(FsCall kind) const { return counts_[static_cast<int>(kind)]; }
  bool fired() const { return fired_; }

  bool entryExists(const std::string& path) override;
  bool folderExists(const std::string& path) override;
  bool createFolder(const std::string& path) override;
  bool deleteFile(const std::string& path) override;
  bool replaceFile(const std::string& from, const std::string& to) override;
  bool readAttributes(const std::string& path, uint32_t& bits) override;
  bool writeAttributes(const std::string& path, uint32_t bits) override;
  std::unique_ptr<Listing> listFolder(const std::string& pattern) override;
  bool copyFile(const std::string& from, const std::string& to) override;
  std::vector<std::string> driveList() override;
  bool volumeTotalSize(const std::string& root, uint64_t& bytes) override;
  std::unique_ptr<File> openFile(const std::string& path, OpenMode mode) override;
  bool driveListed(char letter) override;
  NewCopyResult copyFileToNewName(const std::string& from, const std::string& to) override;

 private:
  bool fails(FsCall kind);
  FsCall kind_;
  int nth_;
  bool fired_ = false;
  int counts_[static_cast<int>(FsCall::Count)] = {};
};

// Installs a replacement file system for the lifetime of the guard.
class FileSystemOverride {
 public:
  explicit FileSystemOverride(FileSystem& fs) { setFileSystem(&fs); }
  ~FileSystemOverride() { setFileSystem(nullptr); }
  FileSystemOverride(const FileSystemOverride&) = delete;
  FileSystemOverride& operator=(const FileSystemOverride&) = delete;
};

}  // namespace test
}  // namespace usbdup
