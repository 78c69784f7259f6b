// The posix backend of the file seam.
#pragma once
#include "platform/files.h"

namespace usbdup {

class PosixFileSystem : public FileSystem {
 public:
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
  bool driveListed(char letter) override;
  NewCopyResult copyFileToNewName(const std::string& from, const std::string& to) override;
  bool volumeTotalSize(const std::string& root, uint64_t& bytes) override;
  std::unique_ptr<File> openFile(const std::string& path, OpenMode mode) override;  // posix_open_file.cpp
};

}  // namespace usbdup
