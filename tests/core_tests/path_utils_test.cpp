#include "ovcore/strings/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace orvo {
namespace {

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

std::string without_trailing_separator(const char* path) {
  string_fixed_t<16> text(path);
  strip_trailing_separator(text);
  return text.c_str();
}

TEST(path_names, each_function_on_its_inputs) {
  using function_t = std::string (*)(const char*);
  const std::pair<function_t, std::vector<std::pair<const char*, const char*>>> tables[] = {
      // The last dot anywhere.
      {without_extension,
       {{"archive.tar.xz", "archive.tar"}, {"dir.d/file", "dir"}, {"noext", "noext"}, {".hidden", ""}, {"", ""}}},
      {stem, {{"dir.d/file.txt", "file"}, {"dir.d\\sub/file.tar.xz", "file.tar"}, {"a\\b\\base_cfg.ktl", "base_cfg"},
              {"dir/.hidden", ""}, {"plain", "plain"}, {"dir.d/", ""}}},
      {without_trailing_separator, {{"a/", "a"}, {"a\\", "a"}, {"a//", "a/"}, {"a", "a"}, {"/", ""}, {"", ""}}},
  };
  for (const auto& [function, cases] : tables)
    for (const auto& [input, expected] : cases) EXPECT_EQ(function(input), expected) << input;
  strip_extension("a.b", nullptr);
  string_dyn_t empty;
  strip_trailing_separator(empty);
  EXPECT_STREQ(empty.c_str(), "");
  EXPECT_EQ(find_last_separator("a/b\\c"), 3u);
  EXPECT_EQ(find_last_separator("a\\b/c"), 3u);
  EXPECT_EQ(find_last_separator("/abc"), 0u);
  EXPECT_EQ(find_last_separator(""), npos32);
}

TEST(path_join, inserts_a_slash_only_when_the_first_part_has_no_separator) {
  const char* const cases[][3] = {
      {"a", "b", "a/b"},
      {"a/", "b", "a/b"},
      {"a\\", "b", "a\\b"},
      {"C:\\games\\velmora", "bin/win_x86", "C:\\games\\velmora/bin/win_x86"},
  };
  for (const auto& c : cases) {
    string_dyn_t out;
    EXPECT_TRUE(join_path(out, c[0], c[1]));
    EXPECT_STREQ(out.c_str(), c[2]);
  }
}

TEST(path_join, output_may_be_one_of_the_parts_and_a_small_fixed_one_fails) {
  string_dyn_t growable("dir");
  EXPECT_TRUE(join_path(growable, growable, "file"));
  EXPECT_TRUE(join_path(growable, "root\\", growable));
  EXPECT_STREQ(growable.c_str(), "root\\dir/file");
  string_fixed_t<12> fixed("dir");
  EXPECT_TRUE(join_path(fixed, fixed, "file"));
  EXPECT_STREQ(fixed.c_str(), "dir/file");
  EXPECT_FALSE(join_path(fixed, fixed, "more"));
  EXPECT_STREQ(fixed.c_str(), "dir/file/mo");
}

TEST(path_prefix, matches_whole_components_separated_by_slash) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"a/b", "a/b", true},    {"a/b", "a/b/c", true},  {"a/b", "a/bc", false}, {"a/b", "a/b\\c", false},
      {"a/b", "a", false},     {"a/b", "x/b/c", false}, {"", "", true},         {"", "/a", true},
      {"", "a", false},
  };
  for (const auto& [prefix, path, expected] : cases)
    EXPECT_EQ(is_path_prefix(prefix, path), expected) << prefix << " " << path;
}

TEST(hex_digest, to_hex_gives_64_upper_case_digits) {
  u8 digest[32];
  for (u32 i = 0; i < 32; ++i) digest[i] = static_cast<u8>(i * 0x11 + 0x0A);
  string_fixed_t<65> out("stale");
  to_hex(out, digest);
  EXPECT_STREQ(out.c_str(), "0A1B2C3D4E5F708192A3B4C5D6E7F8091A2B3C4D5E6F8091A2B3C4D5E6F70819");
}

} // namespace
} // namespace orvo
