#include "test_data.h"

#include <gtest/gtest.h>

using namespace test_data;

TEST(vcdiff_delta_size, scattered_single_byte_edits_give_a_small_delta) {
  const bytes_t source = structured_bytes(1 * mib, 30);
  bytes_t target = source;
  flip_scattered_bytes(&target, 256, 31);
  for (const orvo::vcdiff::encode_options_t& options : {orvo::vcdiff::encode_options_t{}, plain_options()}) {
    size_t size = 0;
    round_trip(&source, target, options, &size);
    EXPECT_LT(size, target.size() / 100) << "container form " << options.container_form;
    std::printf("1 MiB, 256 one-byte edits, %s: %zu bytes (%.3f%%)\n", options.container_form ? "container" : "plain",
                size, 100.0 * size / target.size());
  }
}

TEST(vcdiff_delta_size, segment_follows_data_moved_far_from_its_offset) {
  // The target starts with the source's last 8 MiB.
  const bytes_t source = structured_bytes(24 * mib, 32);
  bytes_t target(source.begin() + 16 * mib, source.end());
  target.insert(target.end(), source.begin(), source.begin() + 16 * mib);
  orvo::vcdiff::encode_options_t options = plain_options();
  options.window_size = 8 * mib;
  size_t size = 0;
  const reference::delta_t d = round_trip(&source, target, options, &size);
  ASSERT_EQ(d.windows.size(), 3u);
  EXPECT_EQ(d.windows[0].segment_position, 16 * mib);
  EXPECT_EQ(d.windows[1].segment_position, 0u);
  EXPECT_EQ(d.windows[2].segment_position, 8 * mib);
  EXPECT_LT(size, 1000u);
}

TEST(vcdiff_delta_size, segment_grows_to_cover_a_whole_window) {
  const bytes_t source = structured_bytes(24 * mib, 33);
  size_t size = 0;
  const reference::delta_t d = round_trip(&source, source, plain_options(), &size);
  ASSERT_EQ(d.windows.size(), 2u);
  EXPECT_EQ(d.windows[0].segment_position, 0u);
  EXPECT_EQ(d.windows[0].segment_length, 16 * mib);
  EXPECT_LT(size, 100u);
}
