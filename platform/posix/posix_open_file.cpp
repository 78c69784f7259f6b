// Placeholder until the event log's file calls land.
#include "posix_file_system.h"

namespace usbdup {
std::unique_ptr<File> PosixFileSystem::openFile(const std::string&, OpenMode) { return nullptr; }
}  // namespace usbdup
