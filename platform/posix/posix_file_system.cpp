// Placeholder until the posix file layer lands: every call fails.
#include "posix_file_system.h"

namespace usbdup {

bool PosixFileSystem::entryExists(const std::string&) { return false; }
bool PosixFileSystem::folderExists(const std::string&) { return false; }
bool PosixFileSystem::createFolder(const std::string&) { return false; }
bool PosixFileSystem::deleteFile(const std::string&) { return false; }
bool PosixFileSystem::replaceFile(const std::string&, const std::string&) { return false; }
bool PosixFileSystem::readAttributes(const std::string&, uint32_t&) { return false; }
bool PosixFileSystem::writeAttributes(const std::string&, uint32_t) { return false; }
std::unique_ptr<Listing> PosixFileSystem::listFolder(const std::string&) { return nullptr; }
bool PosixFileSystem::copyFile(const std::string&, const std::string&) { return false; }
std::vector<std::string> PosixFileSystem::driveList() { return {}; }
bool PosixFileSystem::volumeTotalSize(const std::string&, uint64_t&) { return false; }

FileSystem& platformFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace usbdup
