// Placeholder until the Win32 file layer lands: every call fails.
#include "win32_file_system.h"

namespace usbdup {

bool Win32FileSystem::entryExists(const std::string&) { return false; }
bool Win32FileSystem::folderExists(const std::string&) { return false; }
bool Win32FileSystem::createFolder(const std::string&) { return false; }
bool Win32FileSystem::deleteFile(const std::string&) { return false; }
bool Win32FileSystem::replaceFile(const std::string&, const std::string&) { return false; }
bool Win32FileSystem::readAttributes(const std::string&, uint32_t&) { return false; }
bool Win32FileSystem::writeAttributes(const std::string&, uint32_t) { return false; }
std::unique_ptr<Listing> Win32FileSystem::listFolder(const std::string&) { return nullptr; }
bool Win32FileSystem::copyFile(const std::string&, const std::string&) { return false; }
std::vector<std::string> Win32FileSystem::driveList() { return {}; }
bool Win32FileSystem::volumeTotalSize(const std::string&, uint64_t&) { return false; }

FileSystem& platformFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace usbdup
