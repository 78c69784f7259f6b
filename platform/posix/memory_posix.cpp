// Blocks for the posix backend: anonymous private mappings. MAP_POPULATE maps
// every page at once, far cheaper than a fault per page on first touch.
#include <sys/mman.h>

#include "platform/memory.h"

namespace usbdup {

#ifndef MAP_POPULATE
#define MAP_POPULATE 0
#endif

void* allocateBlock(size_t size) {
  if (size == 0) return nullptr;
  void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  detail::noteBlock(size);
  return p;
}

void freeBlock(void* block, size_t size) {
  if (!block) return;
  ::munmap(block, size);
  detail::noteBlockFreed(size);
}

}  // namespace usbdup
