// Placeholder until the event log's file calls land.
#include "win32_file_system.h"

namespace usbdup {
std::unique_ptr<File> Win32FileSystem::openFile(const std::string&, OpenMode) { return nullptr; }
}  // namespace usbdup
