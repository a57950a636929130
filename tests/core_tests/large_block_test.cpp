// Blocks taken from the system for megabyte buffers.
#include "ovcore/memory/large_block.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orvo {
namespace {

TEST(large_block, every_byte_of_blocks_of_odd_and_large_sizes_is_usable) {
  for (size_t size : {size_t{1}, size_t{4097}, size_t{0x800000}, size_t{0x800000} + 3, size_t{0x1000000}}) {
    u8* block = static_cast<u8*>(allocate_large_block(size));
    ASSERT_NE(block, nullptr) << size;
    std::memset(block, 0xA5, size);
    EXPECT_EQ(block[0], 0xA5);
    EXPECT_EQ(block[size - 1], 0xA5);
    free_large_block(block, size);
  }
}

TEST(large_block, blocks_do_not_overlap_and_nothing_is_allocated_for_zero_bytes) {
  EXPECT_EQ(allocate_large_block(0), nullptr);
  const size_t size = 0x300000;
  u8* first = static_cast<u8*>(allocate_large_block(size));
  u8* second = static_cast<u8*>(allocate_large_block(size));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  std::memset(first, 1, size);
  std::memset(second, 2, size);
  EXPECT_EQ(first[size - 1], 1);
  EXPECT_EQ(second[0], 2);
  EXPECT_TRUE(first + size <= second || second + size <= first);
  free_large_block(first, size);
  free_large_block(second, size);
  free_large_block(nullptr, size);
}

} // namespace
} // namespace orvo
