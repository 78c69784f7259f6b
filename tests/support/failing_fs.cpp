#include "support/failing_fs.h"

namespace usbdup {
namespace test {

const char* fsCallName(FsCall call) {
  static const char* const names[] = {"entryExists", "folderExists", "createFolder", "deleteFile",
                                      "replaceFile", "readAttributes", "writeAttributes", "listFolder",
                                      "copyFile", "driveList", "volumeTotalSize", "openFile",
                                      "driveListed", "copyFileToNewName"};
  const int i = static_cast<int>(call);
  return (i >= 0 && i < static_cast<int>(FsCall::Count)) ? names[i] : "?";
}

bool FailingFileSystem::fails(FsCall kind) {
  const int n = ++counts_[static_cast<int>(kind)];
  if (kind != kind_ || n != nth_) return false;
  fired_ = true;
  return true;
}

bool FailingFileSystem::entryExists(const std::string& path) {
  return !fails(FsCall::EntryExists) && platformFileSystem().entryExists(path);
}
bool FailingFileSystem::folderExists(const std::string& path) {
  return !fails(FsCall::FolderExists) && platformFileSystem().folderExists(path);
}
bool FailingFileSystem::createFolder(const std::string& path) {
  return !fails(FsCall::CreateFolder) && platformFileSystem().createFolder(path);
}
bool FailingFileSystem::deleteFile(const std::string& path) {
  return !fails(FsCall::DeleteFile) && platformFileSystem().deleteFile(path);
}
bool FailingFileSystem::replaceFile(const std::string& from, const std::string& to) {
  return !fails(FsCall::ReplaceFile) && platformFileSystem().replaceFile(from, to);
}
bool FailingFileSystem::readAttributes(const std::string& path, uint32_t& bits) {
  return !fails(FsCall::ReadAttributes) && platformFileSystem().readAttributes(path, bits);
}
bool FailingFileSystem::writeAttributes(const std::string& path, uint32_t bits) {
  return !fails(FsCall::WriteAttributes) && platformFileSystem().writeAttributes(path, bits);
}
std::unique_ptr<Listing> FailingFileSystem::listFolder(const std::string& pattern) {
  if (fails(FsCall::ListFolder)) return nullptr;
  return platformFileSystem().listFolder(pattern);
}
bool FailingFileSystem::copyFile(const std::string& from, const std::string& to) {
  return !fails(FsCall::CopyFile) && platformFileSystem().copyFile(from, to);
}
std::vector<std::string> FailingFileSystem::driveList() {
  if (fails(FsCall::DriveList)) return {};
  return platformFileSystem().driveList();
}
bool FailingFileSystem::volumeTotalSize(const std::string& root, uint64_t& bytes) {
  return !fails(FsCall::VolumeTotalSize) && platformFileSystem().volumeTotalSize(root, bytes);
}
std::unique_ptr<File> FailingFileSystem::openFile(const std::string& path, OpenMode mode) {
  if (fails(FsCall::OpenFile)) return nullptr;
  return platformFileSystem().openFile(path, mode);
}

bool FailingFileSystem::driveListed(char letter) {
  return !fails(FsCall::DriveListed) && platformFileSystem().driveListed(letter);
}
NewCopyResult FailingFileSystem::copyFileToNewName(const std::string& from, const std::string& to) {
  if (fails(FsCall::CopyFileToNewName)) return NewCopyResult::Failed;
  return platformFileSystem().copyFileToNewName(from, to);
}

}  // namespace test
}  // namespace usbdup
