// Blocks taken from the system for megabyte buffers.
#include "ovcore/memory/large_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace orvo {
namespace {

TEST(large_block, every_byte_of_blocks_of_odd_and_large_sizes_is_usable_and_blocks_do_not_overlap) {
  EXPECT_EQ(allocate_large_block(0), nullptr);
  const size_t sizes[] = {1, 4097, 0x300000, 0x800000, 0x800000 + 3, 0x1000000};
  std::vector<u8*> blocks;
  for (size_t i = 0; i < std::size(sizes); ++i) {
    blocks.push_back(static_cast<u8*>(allocate_large_block(sizes[i])));
    ASSERT_NE(blocks[i], nullptr) << sizes[i];
    std::memset(blocks[i], static_cast<int>(i + 1), sizes[i]);
  }
  for (size_t i = 0; i < blocks.size(); ++i) {
    const u8 fill = static_cast<u8>(i + 1);
    EXPECT_TRUE(std::all_of(blocks[i], blocks[i] + sizes[i], [fill](u8 byte) { return byte == fill; })) << sizes[i];
    free_large_block(blocks[i], sizes[i]);
  }
  free_large_block(nullptr, 1);
}

} // namespace
} // namespace orvo
