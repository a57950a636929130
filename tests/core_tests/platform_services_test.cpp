#include "ovcore/memory/block_copy.h"
#include "ovcore/system/memory_status.h"
#include "ovcore/system/modules.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvo {
namespace {

TEST(memory_status, reports_plausible_sizes) {
  u64 status[4] = {};
  get_memory_status(status);
  EXPECT_NE(status[memory_total_physical], memory_status_unknown);
  EXPECT_GT(status[memory_total_physical], u64{64} << 20);
  EXPECT_LE(status[memory_available_physical], status[memory_total_physical]);
  EXPECT_GT(status[memory_total_virtual], u64{1} << 30);
  EXPECT_LE(status[memory_available_virtual], status[memory_total_virtual]);
}

#ifdef _WIN32
const char* const library_name = "kernel32.dll";
const char* const function_name = "GetTickCount";
#else
const char* const library_name = "libm.so.6";
const char* const function_name = "cos";
#endif

TEST(modules, loads_once_and_resolves_functions) {
  module_handle_t first = load_module_cached(library_name);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(load_module_cached(library_name), first);
  EXPECT_NE(find_module_function(first, function_name), nullptr);
  EXPECT_EQ(find_module_function(first, "no_such_function_here"), nullptr);
  // A missing library is null and not remembered.
  EXPECT_EQ(load_module_cached("orvo_no_such_library.dll"), nullptr);
  EXPECT_EQ(load_module_cached("orvo_no_such_library.dll"), nullptr);
  EXPECT_EQ(find_module_function(nullptr, function_name), nullptr);
}

TEST(block_copy, both_selections_copy_every_size_and_alignment) {
  std::vector<unsigned char> source(300), target(320);
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<unsigned char>(i * 7 + 1);
  for (bool sse : {false, true}) {
    select_block_copy(sse);
    for (size_t size : {0, 1, 15, 16, 63, 64, 65, 129, 257}) {
      for (size_t offset : {0, 1, 3}) {
        std::fill(target.begin(), target.end(), 0);
        block_copy(target.data() + offset, source.data() + (3 - offset), size);
        EXPECT_TRUE(std::equal(source.begin() + (3 - offset), source.begin() + (3 - offset) + size, target.begin() + offset));
        EXPECT_EQ(target[offset + size], 0) << size;
      }
    }
  }
}

} // namespace
} // namespace orvo
