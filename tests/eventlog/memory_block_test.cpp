#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/memory.h"

namespace usbdup {
namespace {

TEST(MemoryBlock, SizesSmallAndLarge) {
  // Below, at and beyond the size from which blocks take huge pages.
  const size_t sizes[] = {1, 4095, 4097, (2u << 20) - 1, 2u << 20, (5u << 20) + 3};
  for (size_t size : sizes) {
    const BlockUsage before = blockUsage();
    MemoryBlock block;
    ASSERT_TRUE(block.allocate(size)) << size;
    EXPECT_EQ(block.size(), size);
    EXPECT_GE(blockUsage().live, before.live + size) << size;
    // Fresh blocks are zero-filled and writable to the last byte.
    EXPECT_EQ(block.data()[0], 0);
    EXPECT_EQ(block.data()[size - 1], 0);
    for (size_t i = 0; i < size; i += 4096) block.data()[i] = static_cast<char>(i / 4096 + 1);
    block.data()[size - 1] = 'z';

    // Growing keeps the first bytes.
    const size_t keep = size < 8192 ? size : 8192;
    const std::string kept(block.data(), keep);
    ASSERT_TRUE(block.reallocate(size * 2 + 1, keep)) << size;
    EXPECT_EQ(std::string(block.data(), keep), kept) << size;
    EXPECT_EQ(block.size(), size * 2 + 1);

    block.release();
    EXPECT_EQ(block.data(), nullptr);
    EXPECT_EQ(blockUsage().live, before.live) << size;
  }
}

TEST(MemoryBlock, RefusalsLeaveTheBlock) {
  MemoryBlock block;
  EXPECT_FALSE(block.allocate(0));
  EXPECT_EQ(block.data(), nullptr);
  EXPECT_FALSE(block.allocate(static_cast<size_t>(-1) - 100));
  EXPECT_EQ(block.size(), 0u);

  ASSERT_TRUE(block.allocate(16));
  block.data()[0] = 'a';
  EXPECT_FALSE(block.reallocate(8, 16));   // keeps more than the new size
  EXPECT_FALSE(block.reallocate(64, 17));  // keeps more than there is
  EXPECT_FALSE(block.reallocate(static_cast<size_t>(-1) - 100, 1));
  ASSERT_EQ(block.size(), 16u);
  EXPECT_EQ(block.data()[0], 'a');

  // Moving hands the block over; the old owner is empty and frees nothing.
  MemoryBlock other(std::move(block));
  EXPECT_EQ(block.data(), nullptr);
  EXPECT_EQ(other.data()[0], 'a');
  block = std::move(other);
  EXPECT_EQ(block.data()[0], 'a');
}

}  // namespace
}  // namespace usbdup
