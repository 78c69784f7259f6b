// Large blocks of memory taken straight from the operating system, for data
// that is filled once and then mostly read (the loaded event log). A block comes
// committed, and where the system allows with its pages already mapped: on some
// machines the first touch of fresh heap memory costs a page fault per 4 KB,
// which for a log of a hundred megabytes is slower than reading the file.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstring>
#include <utility>

namespace usbdup {

// A block of at least `size` bytes, or null when the system has none (or size
// is 0). Free it with the same size.
void* allocateBlock(size_t size);
void freeBlock(void* block, size_t size);

// Owns one block; moves, never copies.
class MemoryBlock {
 public:
  MemoryBlock() = default;
  ~MemoryBlock() { release(); }
  MemoryBlock(MemoryBlock&& other) noexcept { swap(other); }
  MemoryBlock& operator=(MemoryBlock&& other) noexcept {
    MemoryBlock(std::move(other)).swap(*this);
    return *this;
  }
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;

  // Replaces the block by a new one of `size` bytes; false (and empty) when
  // there is none.
  bool allocate(size_t size) {
    release();
    data_ = static_cast<char*>(allocateBlock(size));
    if (data_) size_ = size;
    return data_ != nullptr;
  }
  // Moves the first `keep` bytes into a new block of `size` bytes; on failure
  // the old block stays as it was.
  bool reallocate(size_t size, size_t keep) {
    MemoryBlock bigger;
    if (keep > size || keep > size_ || !bigger.allocate(size)) return false;
    if (keep > 0) std::memcpy(bigger.data_, data_, keep);
    swap(bigger);
    return true;
  }
  void release() {
    if (data_) freeBlock(data_, size_);
    data_ = nullptr;
    size_ = 0;
  }

  char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void swap(MemoryBlock& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
  }
  char* data_ = nullptr;
  size_t size_ = 0;
};

namespace detail {
// Kept by the backends' allocateBlock and freeBlock.
inline std::atomic<size_t> blockBytesLive{0};
inline std::atomic<size_t> blockBytesPeak{0};
inline void noteBlock(size_t added) {
  const size_t now = blockBytesLive.fetch_add(added) + added;
  size_t peak = blockBytesPeak.load();
  while (now > peak && !blockBytesPeak.compare_exchange_weak(peak, now)) {
  }
}
inline void noteBlockFreed(size_t freed) { blockBytesLive.fetch_sub(freed); }
}  // namespace detail

// Bytes held in blocks now, and the most held at once since the last
// resetBlockPeak: the heap counters of a benchmark cannot see these blocks.
struct BlockUsage {
  size_t live;
  size_t peak;
};
inline BlockUsage blockUsage() { return {detail::blockBytesLive.load(), detail::blockBytesPeak.load()}; }
inline void resetBlockPeak() { detail::blockBytesPeak.store(detail::blockBytesLive.load()); }

}  // namespace usbdup
