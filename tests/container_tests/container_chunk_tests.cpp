// The chunk walk and the handlers of the recognised chunks.
#include "ovcore/crypto/key_id.h"
#include "support/open_helpers.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace orvo;
using namespace orvo::test;
using result_t = patch::container_open_result_t;

namespace {

opened_t open_chunks(const std::vector<bytes_t>& chunks) {
  container_builder_t builder;
  for (const bytes_t& c : chunks) builder.add(c);
  return open_signed(builder);
}

result_t open_with(const std::vector<bytes_t>& chunks) { return open_chunks(chunks).result; }

// Distinct ids that differ only in their first bytes.
hash_bytes_t numbered_hash(u32 number) {
  hash_bytes_t hash = hash_of(0xA5);
  std::memcpy(hash.data(), &number, sizeof number);
  return hash;
}

bytes_t with_size(bytes_t chunk_bytes, u64 size) {
  for (int i = 0; i < 8; ++i) chunk_bytes[i] = static_cast<u8>(size >> (8 * i));
  return chunk_bytes;
}

} // namespace

TEST(container_chunks, bounds_of_the_chunk_walk) {
  const bytes_t layo = layo_chunk("base", {layout_entry("a.txt")});
  EXPECT_EQ(open_with({with_size(layo, layo.size() + 1)}), result_t::corrupted);
  EXPECT_EQ(open_with({with_size(layo, ~u64(0))}), result_t::corrupted);
  EXPECT_EQ(open_with({with_size(layo, ~u64(0) - 600)}), result_t::corrupted);
  // Sizes that a cut to 32 bits would make fit.
  EXPECT_EQ(open_with({with_size(layo, (1ull << 32) + layo.size())}), result_t::corrupted);
  EXPECT_EQ(open_with({with_size(layo, (1ull << 32) + 16)}), result_t::corrupted);
  // Smaller than its own header, or than the fixed part of its tag.
  EXPECT_EQ(open_with({with_size(chunk("ZZZZ", {}), 0)}), result_t::corrupted);
  EXPECT_EQ(open_with({with_size(chunk("ZZZZ", bytes_t(8)), 15)}), result_t::corrupted);
  EXPECT_EQ(open_with({chunk("LAYO", bytes_t(111))}), result_t::corrupted);
  EXPECT_EQ(open_with({chunk("DIFF", bytes_t(39))}), result_t::corrupted);
  EXPECT_EQ(open_with({chunk("META", bytes_t(39))}), result_t::corrupted);
  EXPECT_EQ(open_with({chunk("FPAT", bytes_t(63))}), result_t::corrupted);
  // A chunk header that itself does not fit cannot be read.
  EXPECT_EQ(open_with({layo, bytes_t(15, 0)}), result_t::io_error);
}

TEST(container_chunks, unknown_tags_and_versions_are_skipped) {
  // The LAYO of version 3 would be corrupted as version 2; the last ZZZZ is a header alone.
  opened_t opened = open_chunks({chunk("ZZZZ", bytes_t(40, 0xFF)), chunk("LAYO", bytes_t(3, 0xFF), 3),
                                 chunk("KEYS", bytes_t(32, 0x01), 1), chunk("ZZZZ", {}),
                                 layo_chunk("base", {layout_entry("a.txt")})});
  ASSERT_EQ(opened.result, result_t::ok);
  ASSERT_EQ(opened.reader->layouts().size(), 1u);
  EXPECT_STREQ(opened.reader->layouts()[0].name.c_str(), "base");
}

TEST(container_layo, records_are_kept_in_chunk_order) {
  opened_t opened = open_chunks(
      {layo_chunk("base", {layout_entry("bin/a.exe", 0x21), layout_entry("data/b.bin", 0x22)}, hash_of(0x33),
                  {1, 12, 0, 7}),
       layo_chunk("base", {}, {}, {1, 13, 3, 0}), layo_chunk(std::string(63, 'n'), {layout_entry("c")})});
  ASSERT_EQ(opened.result, result_t::ok);
  const array_t<patch::layout_record_t>& layouts = opened.reader->layouts();
  ASSERT_EQ(layouts.size(), 3u);
  EXPECT_STREQ(layouts[0].name.c_str(), "base");
  EXPECT_EQ(layouts[0].match_hash, as_hash(hash_of(0x33)));
  EXPECT_EQ(layouts[0].version[0], 1u);
  EXPECT_EQ(layouts[0].version[1], 12u);
  EXPECT_EQ(layouts[0].version[3], 7u);
  ASSERT_EQ(layouts[0].paths.size(), 2u);
  EXPECT_STREQ(layouts[0].paths[1].path, "data/b.bin");
  EXPECT_EQ(layouts[0].paths[1].hash, as_hash(hash_of(0x22)));
  EXPECT_EQ(layouts[1].version[1], 13u);
  EXPECT_TRUE(layouts[1].paths.empty());
  EXPECT_EQ(layouts[2].name.length(), 63u);
  EXPECT_EQ(open_with({layo_chunk(std::string(64, 'n'), {})}), result_t::corrupted) << "name without terminator";
}

TEST(container_layo, bad_entries_make_the_container_corrupted) {
  bytes_t unterminated = layout_entry(std::string(128, 'p'));
  const bytes_t bad_entries[] = {
      layout_entry("a.txt", 0x11, "APPX"), layout_entry("/a.txt"), layout_entry("bin\\a.exe"), unterminated,
      // Mended: paths that would leave or alias the application directory.
      layout_entry(""), layout_entry("a//b"), layout_entry("a/"), layout_entry("."), layout_entry(".."),
      layout_entry("../a"), layout_entry("a/./b"), layout_entry("a/.."), layout_entry("c:/a"),
      layout_entry("a:b")};
  for (const bytes_t& bad : bad_entries) {
    const std::string shown(reinterpret_cast<const char*>(bad.data() + 4), strnlen(reinterpret_cast<const char*>(bad.data() + 4), 128));
    EXPECT_EQ(open_with({layo_chunk("base", {layout_entry("good.txt"), bad})}), result_t::corrupted) << shown;
  }
  EXPECT_EQ(open_with({layo_chunk("base", {layout_entry(std::string(127, 'p')), layout_entry("..a/b.c"),
                                           layout_entry("a/.b/..c")})}),
            result_t::ok);
}

TEST(container_layo, entry_count_and_size_limits) {
  bytes_t partial = layo_chunk("base", {layout_entry("a")});
  partial.push_back(0);
  partial = with_size(partial, partial.size());
  EXPECT_EQ(open_with({partial}), result_t::corrupted);

  const std::vector<bytes_t> many(10000, layout_entry("f.txt"));
  EXPECT_EQ(open_with({layo_chunk("base", many)}), result_t::ok);
  std::vector<bytes_t> too_many = many;
  too_many.push_back(layout_entry("f.txt"));
  EXPECT_EQ(open_with({layo_chunk("base", too_many)}), result_t::corrupted);
}

TEST(container_fpat, diff_ids_in_order) {
  opened_t opened =
      open_chunks({fpat_chunk(hash_of(1), hash_of(2), {hash_of(3), hash_of(4)}), fpat_chunk(hash_of(5), hash_of(6), {})});
  ASSERT_EQ(opened.result, result_t::ok);
  const array_t<patch::file_patch_record_t>& patches = opened.reader->file_patches();
  ASSERT_EQ(patches.size(), 2u);
  EXPECT_EQ(patches[0].source, as_hash(hash_of(1)));
  EXPECT_EQ(patches[0].target, as_hash(hash_of(2)));
  ASSERT_EQ(patches[0].diff_ids.size(), 2u);
  EXPECT_EQ(patches[0].diff_ids[1], as_hash(hash_of(4)));
  EXPECT_TRUE(patches[1].diff_ids.empty());

  bytes_t ragged = fpat_chunk(hash_of(1), hash_of(2), {hash_of(3)});
  ragged.pop_back();
  EXPECT_EQ(open_with({with_size(ragged, ragged.size())}), result_t::corrupted);
  EXPECT_EQ(open_with({fpat_chunk(hash_of(1), hash_of(2), std::vector<hash_bytes_t>(10001, hash_of(3)))}),
            result_t::corrupted);
}

TEST(container_keys, keys_are_found_by_their_key_id) {
  opened_t opened = open_chunks({keys_chunk({hash_of(0x41), hash_of(0x42)}), keys_chunk({})});
  ASSERT_EQ(opened.result, result_t::ok);
  for (u8 fill : {0x41, 0x42}) {
    aes_key_t key;
    std::memset(key.bytes, fill, 32);
    content_hash_t id;
    ASSERT_TRUE(derive_key_id(id.bytes, key, "diffcontentkey"));
    const aes_key_t* found = opened.reader->find_key(id);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(*found, key);
  }
  EXPECT_EQ(opened.reader->find_key(as_hash(hash_of(0x41))), nullptr);
}

TEST(container_keys, duplicate_keys_are_corrupted) {
  EXPECT_EQ(open_with({keys_chunk({hash_of(7), hash_of(7)})}), result_t::corrupted);
  EXPECT_EQ(open_with({keys_chunk({hash_of(7)}), keys_chunk({hash_of(8), hash_of(7)})}), result_t::corrupted);
  bytes_t ragged = keys_chunk({hash_of(7)});
  ragged.push_back(0);
  EXPECT_EQ(open_with({with_size(ragged, ragged.size())}), result_t::corrupted);
}

TEST(container_diffs, descriptors_of_plain_and_keyed_diffs) {
  const bytes_t plain = copy_block(bytes_t(10, 0x5A));
  const bytes_t keyed = keyed_data(0x77, 64);
  container_builder_t builder;
  builder.add(diff_chunk(hash_of(1), false, plain));
  const u64 keyed_offset = 668 + builder.body.size() + 16 + 40;
  builder.add(diff_chunk(hash_of(2), true, keyed));
  opened_t opened = open_signed(builder);
  ASSERT_EQ(opened.result, result_t::ok);

  const patch::diff_info_t* first = opened.reader->find_diff(as_hash(hash_of(1)));
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(first->keyed);
  EXPECT_EQ(first->data_offset, 668u + 16 + 40);
  EXPECT_EQ(first->data_size, plain.size());
  EXPECT_TRUE(first->key_id.is_zero());

  const patch::diff_info_t* second = opened.reader->find_diff(as_hash(hash_of(2)));
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(second->keyed);
  EXPECT_EQ(second->data_offset, keyed_offset);
  EXPECT_EQ(second->data_size, 64u);
  EXPECT_EQ(second->key_id, as_hash(hash_of(0x77)));
  EXPECT_EQ(opened.reader->find_diff(as_hash(hash_of(3))), nullptr);
}

TEST(container_diffs, size_rules) {
  EXPECT_EQ(open_with({diff_chunk(hash_of(1), false, bytes_t(15))}), result_t::corrupted);
  EXPECT_EQ(open_with({diff_chunk(hash_of(1), false, bytes_t(16))}), result_t::ok);
  EXPECT_EQ(open_with({diff_chunk(hash_of(1), true, bytes_t(63))}), result_t::corrupted);
  EXPECT_EQ(open_with({diff_chunk(hash_of(1), true, bytes_t(64))}), result_t::ok);
  bytes_t odd_meta = meta_chunk(hash_of(1), 10);
  odd_meta.resize(odd_meta.size() + 31);
  EXPECT_EQ(open_with({with_size(odd_meta, odd_meta.size())}), result_t::corrupted);
}

TEST(container_diffs, meta_and_diff_merge_in_either_order) {
  const bytes_t data = copy_block(bytes_t(20, 1));
  {
    container_builder_t builder;
    builder.add(meta_chunk(hash_of(1), data.size()));
    const u64 data_offset = 668 + builder.body.size() + 16 + 40;
    builder.add(diff_chunk(hash_of(1), false, data));
    opened_t opened = open_signed(builder);
    ASSERT_EQ(opened.result, result_t::ok);
    const patch::diff_info_t* info = opened.reader->find_diff(as_hash(hash_of(1)));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->data_offset, data_offset);
    EXPECT_EQ(info->data_size, data.size());
  }
  {
    opened_t opened = open_chunks({diff_chunk(hash_of(1), false, data), meta_chunk(hash_of(1), data.size()),
                                   meta_chunk(hash_of(2), 99), meta_chunk(hash_of(2), 99)});
    ASSERT_EQ(opened.result, result_t::ok);
    EXPECT_EQ(opened.reader->find_diff(as_hash(hash_of(1)))->data_offset, 668u + 16 + 40);
    const patch::diff_info_t* declared = opened.reader->find_diff(as_hash(hash_of(2)));
    ASSERT_NE(declared, nullptr);
    EXPECT_EQ(declared->data_offset, ~u64(0));
    EXPECT_EQ(declared->data_size, 99u);
  }
  const bytes_t keyed = keyed_data(0x66, 80);
  const hash_bytes_t key_id = hash_of(0x66);
  opened_t opened = open_chunks({meta_chunk(hash_of(3), keyed.size(), &key_id), diff_chunk(hash_of(3), true, keyed)});
  ASSERT_EQ(opened.result, result_t::ok);
  EXPECT_TRUE(opened.reader->find_diff(as_hash(hash_of(3)))->keyed);
}

// Enough records that the tables grow several times; a late duplicate is still caught.
TEST(container_diffs, many_records_are_found_and_a_late_duplicate_is_corrupted) {
  const bytes_t data = copy_block(bytes_t(16, 3));
  std::vector<bytes_t> chunks;
  for (u32 i = 0; i < 300; ++i) chunks.push_back(diff_chunk(numbered_hash(i), false, data));
  opened_t opened = open_chunks(chunks);
  ASSERT_EQ(opened.result, result_t::ok);
  for (u32 i = 0; i < 300; ++i) EXPECT_NE(opened.reader->find_diff(as_hash(numbered_hash(i))), nullptr) << i;
  EXPECT_EQ(opened.reader->find_diff(as_hash(numbered_hash(300))), nullptr);
  chunks.push_back(diff_chunk(numbered_hash(150), false, data));
  EXPECT_EQ(open_with(chunks), result_t::corrupted);
}

TEST(container_diffs, conflicting_declarations_are_corrupted) {
  const bytes_t data = copy_block(bytes_t(20, 1));
  const hash_bytes_t key_id = hash_of(0x66);
  const bytes_t keyed = keyed_data(0x65, data.size());
  EXPECT_EQ(open_with({diff_chunk(hash_of(1), false, data), diff_chunk(hash_of(1), false, data)}), result_t::corrupted);
  EXPECT_EQ(open_with({meta_chunk(hash_of(1), data.size() + 1), diff_chunk(hash_of(1), false, data)}),
            result_t::corrupted);
  EXPECT_EQ(open_with({diff_chunk(hash_of(1), false, data), meta_chunk(hash_of(1), data.size() - 1)}),
            result_t::corrupted);
  EXPECT_EQ(open_with({meta_chunk(hash_of(1), data.size(), &key_id), diff_chunk(hash_of(1), false, data)}),
            result_t::corrupted);
  EXPECT_EQ(open_with({meta_chunk(hash_of(1), keyed.size(), &key_id), diff_chunk(hash_of(1), true, keyed)}),
            result_t::corrupted);
  EXPECT_EQ(open_with({meta_chunk(hash_of(1), 5), meta_chunk(hash_of(1), 6)}), result_t::corrupted);
}
