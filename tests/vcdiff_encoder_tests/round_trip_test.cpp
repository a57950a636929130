#include "test_data.h"

#include <gtest/gtest.h>

using namespace test_data;

namespace {

// Small windows and segments exercise many windows and segment placement on little data.
orvo::vcdiff::encode_options_t small_window_options() {
  orvo::vcdiff::encode_options_t options = plain_options();
  options.window_size = 64 * 1024;
  options.source_segment_size = 16 * 1024;
  options.max_source_segment_size = 256 * 1024;
  return options;
}

bool plain_windows_only(const reference::delta_t& delta) {
  for (const reference::window_t& w : delta.windows)
    if ((w.indicator & ~0x01) || w.delta_indicator || w.has_checksum) return false;
  return delta.header_indicator == 0;
}

} // namespace

TEST(vcdiff_round_trip, empty_and_tiny_targets_with_and_without_source) {
  const bytes_t empty, source = structured_bytes(5000, 1);
  for (const bytes_t* s : {static_cast<const bytes_t*>(nullptr), &empty, &source}) {
    EXPECT_EQ(encode(s, empty, plain_options()), (bytes_t{0xD6, 0xC3, 0xC4, 0x00, 0x00}));
    EXPECT_TRUE(round_trip(s, empty, plain_options()).windows.empty());
    for (size_t length : {1u, 5u, 7u, 8u, 13u}) round_trip(s, random_bytes(length, length), plain_options());
  }
  for (size_t length : {1u, 5u, 7u, 8u, 13u}) {
    const bytes_t from_source(source.begin() + 100, source.begin() + 100 + length);
    EXPECT_EQ(round_trip(&source, from_source, plain_options()).windows.size(), 1u);
  }
  const bytes_t one_byte_source{0x42};
  round_trip(&one_byte_source, bytes_t{0x42}, plain_options());
}

TEST(vcdiff_round_trip, identical_data_is_one_copy_per_window) {
  const bytes_t data = structured_bytes(300 * 1024, 3);
  size_t delta_size = 0;
  const reference::delta_t d = round_trip(&data, data, small_window_options(), &delta_size);
  EXPECT_EQ(d.windows.size(), 5u);
  EXPECT_TRUE(plain_windows_only(d));
  for (const reference::window_t& w : d.windows) EXPECT_LE(w.stored[1].size(), 4u);
  EXPECT_LT(delta_size, 200u);
}

TEST(vcdiff_round_trip, inserted_deleted_and_moved_regions) {
  const bytes_t source = structured_bytes(1 * mib, 4);
  bytes_t inserted = source;
  const bytes_t fresh = random_bytes(20000, 5);
  inserted.insert(inserted.begin() + 300000, fresh.begin(), fresh.end());
  bytes_t deleted = source;
  deleted.erase(deleted.begin() + 500000, deleted.begin() + 560000);
  bytes_t moved(source.begin() + 700000, source.end());
  moved.insert(moved.end(), source.begin(), source.begin() + 700000);

  for (const orvo::vcdiff::encode_options_t& options : {plain_options(), small_window_options()}) {
    size_t size = 0;
    round_trip(&source, inserted, options, &size);
    EXPECT_LT(size, fresh.size() + 4000);
    round_trip(&source, deleted, options, &size);
    EXPECT_LT(size, 4000u);
    // With small windows, the window at the seam draws from both ends of the source, farther
    // apart than the largest segment: part of it stays literal.
    round_trip(&source, moved, options, &size);
    EXPECT_LT(size, (options.window_size < mib ? options.window_size : 0) + 4000u);
  }
}

TEST(vcdiff_round_trip, runs_and_repeats_inside_the_target) {
  bytes_t target;
  target.insert(target.end(), 100000, 0);
  const bytes_t block = random_bytes(3000, 6);
  for (int i = 0; i < 10; ++i) target.insert(target.end(), block.begin(), block.end());
  target.insert(target.end(), 6, 0xEE); // shortest run worth a RUN
  target.insert(target.end(), 5, 0xDD);
  target.push_back(1);
  target.insert(target.end(), 70000, 0x7F);
  size_t size = 0;
  round_trip(nullptr, target, plain_options(), &size);
  EXPECT_LT(size, block.size() + 300);
  round_trip(nullptr, target, small_window_options());
}

TEST(vcdiff_round_trip, random_data_with_and_without_unrelated_source) {
  const bytes_t target = random_bytes(200000, 7), source = random_bytes(150000, 8);
  size_t size = 0;
  round_trip(nullptr, target, plain_options(), &size);
  EXPECT_LT(size, target.size() + 200);
  const reference::delta_t d = round_trip(&source, target, plain_options(), &size);
  EXPECT_LT(size, target.size() + 200);
  for (const reference::window_t& w : d.windows) EXPECT_EQ(w.indicator, 0) << "segment without any copy from it";
}

TEST(vcdiff_round_trip, target_crossing_default_windows_and_source_blocks) {
  // 20 MiB source; the target has 3 MiB of new data early on, so its windows come from
  // source ranges that straddle 8 MiB blocks and lie 3 MiB before the windows' own offsets.
  const bytes_t source = structured_bytes(20 * mib, 9);
  bytes_t target = source;
  const bytes_t fresh = random_bytes(3 * mib, 10);
  target.insert(target.begin() + 1 * mib, fresh.begin(), fresh.end());
  flip_scattered_bytes(&target, 500, 11);
  size_t size = 0;
  const reference::delta_t d = round_trip(&source, target, plain_options(), &size);
  ASSERT_EQ(d.windows.size(), 2u);
  EXPECT_EQ(d.windows[0].target_length, 16 * mib);
  EXPECT_EQ(d.windows[1].target_length, 7 * mib);
  for (const reference::window_t& w : d.windows) {
    EXPECT_EQ(w.indicator, 0x01);
    const uint64_t first_block = w.segment_position / (8 * mib);
    const uint64_t last_block = (w.segment_position + w.segment_length - 1) / (8 * mib);
    EXPECT_LE(last_block - first_block + 1, 32u);
  }
  // The second window (target 16..23 MiB) comes from source 13..20 MiB.
  EXPECT_LE(d.windows[1].segment_position, 13 * mib);
  EXPECT_GE(d.windows[1].segment_position + d.windows[1].segment_length, 20 * mib);
  EXPECT_LT(size, fresh.size() + 64 * 1024);
}

TEST(vcdiff_round_trip, exact_multiples_of_eight_mib) {
  const bytes_t source = structured_bytes(16 * mib, 12);
  bytes_t target = source;
  flip_scattered_bytes(&target, 100, 13);
  orvo::vcdiff::encode_options_t options = plain_options();
  options.window_size = 8 * mib;
  const reference::delta_t d = round_trip(&source, target, options);
  ASSERT_EQ(d.windows.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(d.windows[i].target_length, 8 * mib);
    EXPECT_EQ(d.windows[i].segment_position, i * 8 * mib);
    EXPECT_EQ(d.windows[i].segment_length, 8 * mib);
  }
  const reference::delta_t whole = round_trip(&source, target, plain_options());
  EXPECT_EQ(whole.windows.size(), 1u);
}
