#include "ovcore/strings/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

std::string joined(const char* first, const char* second) {
  string_dyn_t out;
  EXPECT_TRUE(join_path(out, first, second));
  return out.c_str();
}

std::string without_extension(const char* path) {
  string_dyn_t out("previous");
  strip_extension(path, &out);
  return out.c_str();
}

std::string stem(const char* path) {
  string_fixed_t<64> out("previous");
  get_file_stem(path, &out);
  return out.c_str();
}

TEST(path_join, inserts_a_slash_only_when_the_first_part_has_no_separator) {
  EXPECT_EQ(joined("a", "b"), "a/b");
  EXPECT_EQ(joined("a/", "b"), "a/b");
  EXPECT_EQ(joined("a\\", "b"), "a\\b");
  EXPECT_EQ(joined("C:\\games\\velmora", "bin/win_x86"), "C:\\games\\velmora/bin/win_x86");
}

TEST(path_join, fixed_output_that_is_too_small_fails) {
  string_fixed_t<8> out;
  EXPECT_TRUE(join_path(out, "abc", "def"));
  EXPECT_STREQ(out.c_str(), "abc/def");
  EXPECT_FALSE(join_path(out, "abcd", "efgh"));
  EXPECT_STREQ(out.c_str(), "abcd/ef");
}

TEST(path_join, output_may_be_one_of_the_parts) {
  string_dyn_t growable("dir");
  EXPECT_TRUE(join_path(growable, growable, "file"));
  EXPECT_STREQ(growable.c_str(), "dir/file");
  EXPECT_TRUE(join_path(growable, "root\\", growable));
  EXPECT_STREQ(growable.c_str(), "root\\dir/file");
  string_fixed_t<12> fixed("dir");
  EXPECT_TRUE(join_path(fixed, fixed, "file"));
  EXPECT_STREQ(fixed.c_str(), "dir/file");
  EXPECT_FALSE(join_path(fixed, fixed, "more"));
  EXPECT_STREQ(fixed.c_str(), "dir/file/mo");
}

TEST(path_separators, strip_trailing_separator_removes_one_byte) {
  for (const auto& [input, expected] : {std::pair{"a/", "a"}, {"a\\", "a"}, {"a//", "a/"}, {"a", "a"}, {"", ""},
                                        {"/", ""}}) {
    string_fixed_t<16> text(input);
    strip_trailing_separator(text);
    EXPECT_STREQ(text.c_str(), expected) << input;
  }
  string_dyn_t empty;
  strip_trailing_separator(empty);
  EXPECT_STREQ(empty.c_str(), "");
}

TEST(path_separators, find_last_separator_accepts_both_kinds) {
  EXPECT_EQ(find_last_separator("a/b\\c"), 3u);
  EXPECT_EQ(find_last_separator("a\\b/c"), 3u);
  EXPECT_EQ(find_last_separator("/abc"), 0u);
  EXPECT_EQ(find_last_separator("abc"), npos32);
  EXPECT_EQ(find_last_separator(""), npos32);
}

TEST(path_names, strip_extension_cuts_at_the_last_dot_anywhere) {
  EXPECT_EQ(without_extension("file.txt"), "file");
  EXPECT_EQ(without_extension("archive.tar.xz"), "archive.tar");
  EXPECT_EQ(without_extension("dir.d/file"), "dir");
  EXPECT_EQ(without_extension("noext"), "noext");
  EXPECT_EQ(without_extension(".hidden"), "");
  EXPECT_EQ(without_extension(""), "");
  strip_extension("a.b", nullptr);
}

TEST(path_names, get_file_stem_takes_the_name_after_the_last_separator) {
  EXPECT_EQ(stem("dir.d/file.txt"), "file");
  EXPECT_EQ(stem("dir.d\\sub/file.tar.xz"), "file.tar");
  EXPECT_EQ(stem("a\\b\\base_cfg.ktl"), "base_cfg");
  EXPECT_EQ(stem("dir/.hidden"), "");
  EXPECT_EQ(stem(".hidden"), "");
  EXPECT_EQ(stem("plain"), "plain");
  EXPECT_EQ(stem("dir.d/"), "");
}

TEST(path_prefix, matches_whole_components_separated_by_slash) {
  EXPECT_TRUE(is_path_prefix("a/b", "a/b"));
  EXPECT_TRUE(is_path_prefix("a/b", "a/b/c"));
  EXPECT_FALSE(is_path_prefix("a/b", "a/bc"));
  EXPECT_FALSE(is_path_prefix("a/b", "a/b\\c"));
  EXPECT_FALSE(is_path_prefix("a/b", "a"));
  EXPECT_FALSE(is_path_prefix("a/b", "x/b/c"));
  EXPECT_TRUE(is_path_prefix("", ""));
  EXPECT_TRUE(is_path_prefix("", "/a"));
  EXPECT_FALSE(is_path_prefix("", "a"));
}

TEST(hex_digest, to_hex_gives_64_upper_case_digits) {
  u8 digest[32];
  for (u32 i = 0; i < 32; ++i) digest[i] = static_cast<u8>(i * 0x11 + 0x0A);
  string_dyn_t out("old text");
  to_hex(out, digest);
  EXPECT_STREQ(out.c_str(), "0A1B2C3D4E5F708192A3B4C5D6E7F8091A2B3C4D5E6F8091A2B3C4D5E6F70819");
  string_fixed_t<65> fixed("stale");
  to_hex(fixed, digest);
  EXPECT_STREQ(fixed.c_str(), out.c_str());
}

} // namespace
} // namespace orvo
