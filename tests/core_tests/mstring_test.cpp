#include "message_capture.h"

#include "ovcore/strings/strings.h"

#include <algorithm>
#include <string>

namespace orvo {
namespace {

// set_from(pos, source, offset, count) keeps the text before pos and puts the source part there.
TEST(mstring_set_from, keeps_what_fits_and_reports_a_cut) {
  struct set_from_case_t {
    bool growable;  // else a fixed string of 8 bytes
    std::string initial;
    u32 pos;
    std::string source;
    u32 offset;
    u32 count;
    std::string expected;
    bool complete;
  };
  const std::string long_text(300, 'q');
  const set_from_case_t cases[] = {
      {false, "", 0, "0123456789", 0, npos32, "0123456", false},
      {false, "", 0, "abcdefg", 0, npos32, "abcdefg", true},  // an exact fit is not a cut
      {false, "abcdefg", 5, "wxyz", 0, 3, "abcdewx", false},
      {false, "hello", 2, "abc", 3, npos32, "he", true},
      {false, "x", 0, "abcdef", 2, 3, "cde", true},
      {true, "", 0, long_text, 0, npos32, long_text, true},
      {true, "abcdef", 2, "XYZ", 0, npos32, "abXYZ", true},
      {true, "abXYZ", 1, "0123456789", 3, 4, "a3456", true},
      {true, "a3456", 5, "0123456789", 8, 100, "a345689", true},
      {true, "a345689", 3, "anything", 0, 0, "a34", true},
      {true, "hello", 1, "abc", 10, 20, "h", true},
      {true, "hello", 0, "abc", 0xFFFFFFF0u, 0x100u, "", true},
  };
  for (const set_from_case_t& c : cases) {
    string_dyn_t growable(c.initial.c_str());
    string_fixed_t<8> fixed(c.initial.c_str());
    mstring_t& text = c.growable ? static_cast<mstring_t&>(growable) : fixed;
    EXPECT_EQ(text.set_from(c.pos, c.source.c_str(), c.offset, c.count), c.complete) << c.expected;
    EXPECT_EQ(std::string(text.c_str()), c.expected);
    EXPECT_EQ(text.length(), c.expected.size());
    // Growable strings are sized exactly.
    const u32 exact = static_cast<u32>(std::max(c.initial.size(), c.expected.size())) + 1;
    EXPECT_EQ(text.capacity(), c.growable ? exact : 8u) << c.expected;
  }
}

TEST(mstring_dyn, empty_string_owns_no_buffer_until_needed) {
  string_dyn_t empty;
  EXPECT_STREQ(empty.c_str(), "");
  EXPECT_TRUE(empty.set(""));
  EXPECT_TRUE(empty.set(string()));
  EXPECT_TRUE(empty.append(nullptr));
  EXPECT_TRUE(empty.append(""));
  empty.clear();
  EXPECT_EQ(empty.capacity(), 0u);
  string_dyn_t other;
  EXPECT_EQ(other.c_str(), empty.c_str());
  EXPECT_TRUE(empty.append("ab"));
  EXPECT_EQ(empty.capacity(), 3u);
  EXPECT_STREQ(other.c_str(), "");
}

TEST(mstring_dyn, copies_are_deep_and_moves_leave_an_empty_string) {
  string_dyn_t text("abc");
  EXPECT_EQ(text.capacity(), 4u);
  string_dyn_t copy(text);
  copy.buffer()[0] = 'x';
  EXPECT_STREQ(text.c_str(), "abc");
  string_dyn_t moved(std::move(copy));
  EXPECT_STREQ(moved.c_str(), "xbc");
  EXPECT_STREQ(copy.c_str(), "");
  text = moved;
  EXPECT_STREQ(text.c_str(), "xbc");
  text = string_dyn_t("longer text");
  EXPECT_STREQ(text.c_str(), "longer text");
}

TEST(mstring_append, growable_string_appends_its_own_text) {
  string_dyn_t text("ab");
  EXPECT_TRUE(text.append_char('c'));
  EXPECT_TRUE(text.append(text.c_str()));
  EXPECT_STREQ(text.c_str(), "abcabc");
  EXPECT_TRUE(text.set_from(6, text, 2));
  EXPECT_STREQ(text.c_str(), "abcabccabc");
  EXPECT_EQ(text.length(), 10u);
  EXPECT_EQ(text.capacity(), 11u);
}

TEST(mstring_append, fixed_string_append_needs_room_for_the_terminator) {
  string_fixed_t<4> fixed("ab");
  EXPECT_TRUE(fixed.append_char('c'));
  EXPECT_FALSE(fixed.append_char('d'));
  EXPECT_FALSE(fixed.append("x"));
  EXPECT_STREQ(fixed.c_str(), "abc");
}

TEST(mstring_format, growable_string_is_sized_exactly) {
  string_dyn_t text;
  EXPECT_TRUE(text.format("%s", ""));
  EXPECT_EQ(text.capacity(), 1u);
  EXPECT_TRUE(text.format("%s-%u", "ab", 42u));
  EXPECT_EQ(text.capacity(), 6u);
  EXPECT_TRUE(text.append_format("/%I64u", static_cast<u64>(1) << 40));
  EXPECT_STREQ(text.c_str(), "ab-42/1099511627776");
  EXPECT_EQ(text.capacity(), 20u);
  EXPECT_TRUE(text.format("x"));
  EXPECT_STREQ(text.c_str(), "x");
  EXPECT_EQ(text.capacity(), 20u);
}

TEST(mstring_format, fixed_string_truncates_and_returns_false) {
  string_fixed_t<8> fixed;
  EXPECT_FALSE(fixed.format("%s", "0123456789"));
  EXPECT_STREQ(fixed.c_str(), "0123456");
  EXPECT_TRUE(fixed.format("%d", 1234567));
  EXPECT_TRUE(fixed.format("%d", 12));
  EXPECT_FALSE(fixed.append_format("%s", "abcdefgh"));
  EXPECT_STREQ(fixed.c_str(), "12abcde");
  EXPECT_FALSE(fixed.append_format("z"));
  EXPECT_STREQ(fixed.c_str(), "12abcde");
}

TEST(mstring_misc, replace_char_and_index_work_up_to_the_capacity_not_the_terminator) {
  string_fixed_t<16> path("a\\b\\c");
  path[6] = '\\';  // beyond the terminator: replace_char must leave it
  path[7] = 0;
  path.replace_char('\\', '/');
  EXPECT_STREQ(path.c_str(), "a/b/c");
  EXPECT_EQ(path.c_str()[6], '\\');
  path[15] = 0;
  path[5] = 'd';
  EXPECT_STREQ(path.c_str(), "a/b/cd\\");
}

TEST(mstring_misc, string_view_reads_null_as_empty) {
  const string none;
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.length(), 0u);
  EXPECT_STREQ(none.c_str(), "");
  EXPECT_TRUE(none.equals(""));
  EXPECT_FALSE(string("a").equals("b"));
}

using mstring_checks = testing::with_stderr_log;

TEST_F(mstring_checks, index_at_capacity_is_a_failed_check) {
  string_fixed_t<8> fixed("ab");
  EXPECT_DEATH(fixed[8] = 'x',
               "level 3: strings/strings_mutable_impl\\(95\\): .*: mstring_t bounds check failed\\.");
  string_dyn_t empty;
  EXPECT_DEATH(empty[0] = 'x', "strings/strings_mutable_impl\\(95\\): .*: mstring_t bounds check failed\\.");
}

} // namespace
} // namespace orvo
