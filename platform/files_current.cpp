#include "platform/files.h"

#include <atomic>

namespace usbdup {

namespace {
std::atomic<FileSystem*> g_replacement{nullptr};
}

FileSystem& fileSystem() {
  FileSystem* fs = g_replacement.load(std::memory_order_acquire);
  return fs ? *fs : platformFileSystem();
}

void setFileSystem(FileSystem* replacement) { g_replacement.store(replacement, std::memory_order_release); }

}  // namespace usbdup
