#include "reference_decoder.h"
#include "test_data.h"
#include "tools/vcdiff_encoder/adler32.h"
#include "tools/vcdiff_encoder/address_cache.h"
#include "tools/vcdiff_encoder/code_table.h"
#include "tools/vcdiff_encoder/varint.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace orvo::vcdiff;

TEST(vcdiff_building_blocks, integers_are_base_128_most_significant_first) {
  std::vector<orvo::u8> out;
  append_varint(out, 123456789); // the example of RFC 3284 section 2
  EXPECT_EQ(out, (std::vector<orvo::u8>{0xBA, 0xEF, 0x9A, 0x15}));
  out.clear();
  append_varint(out, 0);
  append_varint(out, 127);
  append_varint(out, 128);
  EXPECT_EQ(out, (std::vector<orvo::u8>{0x00, 0x7F, 0x81, 0x00}));
  EXPECT_EQ(varint_length(127), 1u);
  EXPECT_EQ(varint_length(128), 2u);
  EXPECT_EQ(varint_length(~orvo::u64{0}), 10u);
}

TEST(vcdiff_building_blocks, adler32_matches_known_values_across_reduction_blocks) {
  const char* text = "Wikipedia";
  EXPECT_EQ(adler32(reinterpret_cast<const orvo::u8*>(text), std::strlen(text)), 0x11E60398u);
  EXPECT_EQ(adler32(nullptr, 0), 1u);
  const test_data::bytes_t data(100000, 0xFF); // many reduction blocks of maximal bytes
  EXPECT_EQ(adler32(data.data(), data.size()), reference::adler32(data.data(), data.size()));
}

TEST(vcdiff_building_blocks, default_code_table_is_the_published_one) {
  const std::array<reference::entry_t, 256> published = reference::default_table();
  for (int i = 0; i < 256; ++i) {
    const code_entry_t& e = code_table_t::default_table().entry(static_cast<orvo::u8>(i));
    const reference::entry_t& p = published[i];
    EXPECT_TRUE(e.type1 == p.inst1 && e.size1 == p.size1 && e.mode1 == p.mode1 && e.type2 == p.inst2 &&
                e.size2 == p.size2 && e.mode2 == p.mode2)
        << "entry " << i;
  }
}

TEST(vcdiff_building_blocks, code_lookups_prefer_implicit_sizes_and_combined_entries) {
  const code_table_t& table = code_table_t::default_table();
  bool size_follows = true;
  EXPECT_EQ(table.single_code({instruction_add, 17, 0}, &size_follows), 18);
  EXPECT_FALSE(size_follows);
  EXPECT_EQ(table.single_code({instruction_add, 18, 0}, &size_follows), 1);
  EXPECT_TRUE(size_follows);
  EXPECT_EQ(table.single_code({instruction_copy, 4, 3}, &size_follows), 68);
  EXPECT_FALSE(size_follows);
  EXPECT_EQ(table.single_code({instruction_copy, 300, 3}, &size_follows), 67);
  EXPECT_TRUE(size_follows);
  EXPECT_EQ(table.single_code({instruction_run, 4, 0}, &size_follows), 0);
  EXPECT_TRUE(size_follows);
  EXPECT_EQ(table.pair_code({instruction_add, 2, 0}, {instruction_copy, 5, 0}), 167);
  EXPECT_EQ(table.pair_code({instruction_copy, 4, 3}, {instruction_add, 1, 0}), 250);
  EXPECT_EQ(table.pair_code({instruction_add, 5, 0}, {instruction_copy, 4, 0}), -1);
  EXPECT_EQ(table.pair_code({instruction_add, 1, 0}, {instruction_copy, 5, 7}), -1);
}

TEST(vcdiff_building_blocks, address_modes_pick_the_shortest_form) {
  address_cache_t cache;
  encoded_address_t a = cache.encode(1000, 5000);
  EXPECT_EQ(a.mode, 0);
  EXPECT_EQ(a.value, 1000u);
  a = cache.encode(4990, 5000); // close behind here
  EXPECT_EQ(a.mode, 1);
  EXPECT_EQ(a.value, 10u);
  a = cache.encode(1003, 6000); // just past near slot 0
  EXPECT_EQ(a.mode, 2);
  EXPECT_EQ(a.value, 3u);
  a = cache.encode(1000, 100000); // near slot 0 still holds 1000: difference 0
  EXPECT_EQ(a.mode, 2);
  EXPECT_EQ(a.value, 0u);
  a = cache.encode(200000, 300000);
  a = cache.encode(200000 - 50, 300000);
  a = cache.encode(90000, 300000);
  a = cache.encode(95000, 300000);
  a = cache.encode(95010, 400000); // near slots hold 200000, 199950, 90000, 95000
  EXPECT_EQ(a.mode, 5);
  EXPECT_EQ(a.value, 10u);
  cache.reset();
  cache.encode(70000, 80000);
  cache.encode(10, 80000);
  cache.encode(20, 80000);
  cache.encode(30, 80000);
  cache.encode(40, 80000); // 70000 left the near cache but stays in the same cache
  a = cache.encode(70000, 200000);
  EXPECT_TRUE(a.single_byte);
  EXPECT_EQ(a.mode, 2 + 4 + (70000 % 768) / 256);
  EXPECT_EQ(a.value, 70000u % 256);
}

TEST(vcdiff_building_blocks, repeated_distances_keep_here_where_favoured_and_still_fill_the_caches) {
  address_cache_t cache;
  cache.set_favour_repeats(true);
  encoded_address_t a = cache.encode(1000, 5000);
  EXPECT_EQ(a.mode, 0);
  a = cache.encode(1100, 5100); // 4000 back again; near slot 0 would need one byte only
  EXPECT_EQ(a.mode, 1);
  EXPECT_EQ(a.value, 4000u);
  a = cache.encode(1200, 90000); // near slot 1 holds 1100
  EXPECT_EQ(a.mode, 3);
  EXPECT_EQ(a.value, 100u);
}
