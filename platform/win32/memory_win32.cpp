// Blocks for the Win32 backend: committed pages straight from VirtualAlloc,
// zero-filled by the system and returned to it whole by VirtualFree.
#include <windows.h>

#include "platform/memory.h"

namespace usbdup {

void* allocateBlock(size_t size) {
  if (size == 0) return nullptr;
  void* p = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!p) return nullptr;
  detail::noteBlock(size);
  return p;
}

void freeBlock(void* block, size_t size) {
  if (!block) return;
  VirtualFree(block, 0, MEM_RELEASE);
  detail::noteBlockFreed(size);
}

}  // namespace usbdup
