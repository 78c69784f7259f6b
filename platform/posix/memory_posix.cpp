// Blocks for the posix backend: anonymous private mappings, mapped in whole
// when taken. A large block is laid on 2 MB boundaries and asked for huge
// pages: on virtual machines the first touch of each 4 KB page can cost
// microseconds (more than copying its bytes), and a populated mapping of 4 KB
// pages does not avoid all of it, while a huge page is mapped in one step.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/memory.h"

namespace usbdup {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t roundUp(size_t size, size_t unit) { return (size + unit - 1) / unit * unit; }

size_t pageSize() {
  static const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  return page;
}

// The length really mapped for a block of `size` bytes.
size_t mappedLength(size_t size) { return size >= kHugePage ? roundUp(size, kHugePage) : roundUp(size, pageSize()); }

void* mapSmall(size_t length) {
#ifdef MAP_POPULATE
  const int populate = MAP_POPULATE;
#else
  const int populate = 0;
#endif
  void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | populate, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

void* mapHuge(size_t length) {
  // Map one huge page more than needed and cut the ends off, so that the block
  // starts on a huge-page boundary.
  void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHugePage - 1) & ~static_cast<uintptr_t>(kHugePage - 1);
  char* const block = reinterpret_cast<char*>(aligned);
  if (aligned > start) ::munmap(raw, aligned - start);
  const size_t tail = kHugePage - (aligned - start);
  if (tail > 0) ::munmap(block + length, tail);
#ifdef MADV_HUGEPAGE
  ::madvise(block, length, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
  ::madvise(block, length, MADV_POPULATE_WRITE);  // an older kernel refuses it; the pages then come on first touch
#endif
  return block;
}

}  // namespace

void* allocateBlock(size_t size) {
  if (size == 0 || size > SIZE_MAX - 2 * kHugePage) return nullptr;
  const size_t length = mappedLength(size);
  void* p = length >= kHugePage ? mapHuge(length) : mapSmall(length);
  if (p) detail::noteBlock(length);
  return p;
}

void freeBlock(void* block, size_t size) {
  if (!block) return;
  const size_t length = mappedLength(size);
  ::munmap(block, length);
  detail::noteBlockFreed(length);
}

}  // namespace usbdup
