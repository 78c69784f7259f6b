// The Win32 backend (ANSI calls) of the file seam.
#pragma once
#include <windows.h>

#include <mutex>

#include "platform/files.h"

namespace usbdup {

class Win32FileSystem : public FileSystem {
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
  std::unique_ptr<File> openFile(const std::string& path, OpenMode mode) override;  // win32_open_file.cpp

  // How long a drive type asked while the root stayed readable is reused.
  static constexpr DWORD kDriveTypeReuseMs = 1000;

 private:
  // The last GetDriveTypeA answer for one letter (see driveListed).
  class DriveTypeMemo {
   public:
    bool recall(DWORD now, UINT& type);
    void remember(DWORD now, UINT type);
    void forget();

   private:
    std::mutex mutex_;
    bool known_ = false;
    DWORD askedAt_ = 0;
    UINT type_ = 0;
  };
  DriveTypeMemo driveTypes_[26];
};

}  // namespace usbdup
