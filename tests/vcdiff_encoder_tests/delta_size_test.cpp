#include "test_data.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace test_data;

namespace {

// A new build of a program: code inserted at a few places moves everything behind it, and the
// 4-byte addresses that point across an insertion (every 48th to 111th byte) change with it.
bytes_t relocated(const bytes_t& source, uint64_t seed) {
  random_t random(seed);
  bytes_t target = source;
  for (size_t at : {target.size() / 5, target.size() / 2, target.size() * 4 / 5}) {
    const bytes_t inserted = random_bytes(13 + random.below(200), random.next());
    target.insert(target.begin() + at, inserted.begin(), inserted.end());
  }
  for (size_t at = random.below(64); at + 4 <= target.size(); at += 48 + random.below(64)) {
    uint32_t word = 0;
    std::memcpy(&word, target.data() + at, 4);
    word += 16 + static_cast<uint32_t>(random.below(4096));
    std::memcpy(target.data() + at, &word, 4);
  }
  return target;
}

} // namespace

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

TEST(vcdiff_delta_size, relocated_code_keeps_its_short_copies) {
  const bytes_t source = structured_bytes(2 * mib, 34);
  const bytes_t target = relocated(source, 35);
  orvo::vcdiff::encode_options_t small_windows;
  small_windows.window_size = 256 * 1024;
  small_windows.source_segment_size = 64 * 1024;
  small_windows.max_source_segment_size = 1 * mib;
  struct case_t {
    const char* name;
    orvo::vcdiff::encode_options_t options;
    size_t most; // bytes; about 26,000 addresses change
  } cases[] = {
      {"container form", orvo::vcdiff::encode_options_t{}, 100000},
      {"container form, small windows", small_windows, 100000},
      {"plain", plain_options(), 180000},
  };
  for (const case_t& c : cases) {
    size_t size = 0;
    round_trip(&source, target, c.options, &size);
    EXPECT_LT(size, c.most) << c.name;
    std::printf("2 MiB relocated, %s: %zu bytes\n", c.name, size);
  }
}
