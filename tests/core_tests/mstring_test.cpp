#include "message_capture.h"

#include "ovcore/strings/strings.h"

#include <cstring>
#include <string>

namespace orvo {
namespace {

using testing::with_stderr_log;

TEST(mstring_set_from, fixed_string_keeps_what_fits_and_reports_the_cut) {
  const std::string source(300, 'q');
  string_fixed_t<256> fixed;
  EXPECT_FALSE(fixed.set_from(0, source.c_str()));
  EXPECT_EQ(fixed.length(), 255u);
  EXPECT_EQ(std::string(fixed.c_str()), source.substr(0, 255));
}

TEST(mstring_set_from, growable_string_grows_to_the_exact_size) {
  const std::string source(300, 'q');
  string_dyn_t growable;
  EXPECT_TRUE(growable.set_from(0, source.c_str()));
  EXPECT_EQ(growable.capacity(), 301u);
  EXPECT_EQ(std::string(growable.c_str()), source);
}

TEST(mstring_set_from, replaces_everything_from_pos_on) {
  string_dyn_t text("abcdef");
  EXPECT_TRUE(text.set_from(2, "XYZ"));
  EXPECT_STREQ(text.c_str(), "abXYZ");
  EXPECT_TRUE(text.set_from(1, "0123456789", 3, 4));
  EXPECT_STREQ(text.c_str(), "a3456");
  EXPECT_TRUE(text.set_from(5, "0123456789", 8, 100));
  EXPECT_STREQ(text.c_str(), "a345689");
  EXPECT_TRUE(text.set_from(3, "anything", 0, 0));
  EXPECT_STREQ(text.c_str(), "a34");
}

TEST(mstring_set_from, offset_at_or_past_the_source_end_truncates_at_pos) {
  string_fixed_t<8> fixed("hello");
  EXPECT_TRUE(fixed.set_from(2, "abc", 3));
  EXPECT_STREQ(fixed.c_str(), "he");
  string_dyn_t growable("hello");
  EXPECT_TRUE(growable.set_from(1, "abc", 10, 20));
  EXPECT_STREQ(growable.c_str(), "h");
  EXPECT_TRUE(growable.set_from(0, "abc", 0xFFFFFFF0u, 0x100u));
  EXPECT_STREQ(growable.c_str(), "");
}

TEST(mstring_set_from, exact_fit_is_not_a_cut) {
  string_fixed_t<4> fixed;
  EXPECT_TRUE(fixed.set("abc"));
  EXPECT_STREQ(fixed.c_str(), "abc");
  EXPECT_FALSE(fixed.set("abcd"));
  EXPECT_STREQ(fixed.c_str(), "abc");
  EXPECT_TRUE(fixed.set_from(0, "abcdef", 2, 3));
  EXPECT_STREQ(fixed.c_str(), "cde");
  EXPECT_FALSE(fixed.set_from(1, "wxyz", 0, 3));
  EXPECT_STREQ(fixed.c_str(), "cwx");
}

TEST(mstring_set_from, empty_growable_string_owns_no_buffer_until_needed) {
  string_dyn_t empty;
  EXPECT_EQ(empty.capacity(), 0u);
  EXPECT_STREQ(empty.c_str(), "");
  EXPECT_TRUE(empty.set(""));
  EXPECT_TRUE(empty.append(nullptr));
  EXPECT_TRUE(empty.append(""));
  EXPECT_EQ(empty.capacity(), 0u);
  empty.clear();
  string_dyn_t other;
  EXPECT_EQ(other.c_str(), empty.c_str());
  EXPECT_TRUE(empty.append("ab"));
  EXPECT_EQ(empty.capacity(), 3u);
  EXPECT_STREQ(other.c_str(), "");
}

TEST(mstring_set_from, growable_string_construction_and_copies) {
  string_dyn_t text("abc");
  EXPECT_EQ(text.capacity(), 4u);
  string_dyn_t copy(text);
  copy.buffer()[0] = 'x';
  EXPECT_STREQ(text.c_str(), "abc");
  EXPECT_STREQ(copy.c_str(), "xbc");
  string_dyn_t moved(std::move(copy));
  EXPECT_STREQ(moved.c_str(), "xbc");
  EXPECT_STREQ(copy.c_str(), "");
  text = moved;
  EXPECT_STREQ(text.c_str(), "xbc");
  text = string_dyn_t("longer text");
  EXPECT_STREQ(text.c_str(), "longer text");
}

TEST(mstring_append, appends_and_grows) {
  string_dyn_t text;
  EXPECT_TRUE(text.append("ab"));
  EXPECT_TRUE(text.append_char('c'));
  EXPECT_TRUE(text.append("de"));
  EXPECT_STREQ(text.c_str(), "abcde");
  EXPECT_EQ(text.length(), 5u);
}

TEST(mstring_append, growable_string_appends_its_own_text) {
  string_dyn_t text("abc");
  EXPECT_TRUE(text.append(text.c_str()));
  EXPECT_STREQ(text.c_str(), "abcabc");
  EXPECT_TRUE(text.set_from(6, text, 2));
  EXPECT_STREQ(text.c_str(), "abcabccabc");
  EXPECT_EQ(text.capacity(), 11u);
}

TEST(mstring_append, fixed_string_append_char_needs_room_for_the_terminator) {
  string_fixed_t<4> fixed("ab");
  EXPECT_TRUE(fixed.append_char('c'));
  EXPECT_FALSE(fixed.append_char('d'));
  EXPECT_STREQ(fixed.c_str(), "abc");
  EXPECT_FALSE(fixed.append("x"));
  EXPECT_STREQ(fixed.c_str(), "abc");
}

TEST(mstring_format, growable_string_is_sized_exactly) {
  string_dyn_t empty;
  EXPECT_TRUE(empty.format("%s", ""));
  EXPECT_EQ(empty.capacity(), 1u);
  EXPECT_STREQ(empty.c_str(), "");
  string_dyn_t text;
  EXPECT_TRUE(text.format("%s-%u", "ab", 42u));
  EXPECT_STREQ(text.c_str(), "ab-42");
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
  EXPECT_STREQ(fixed.c_str(), "1234567");
  EXPECT_TRUE(fixed.format("%d", 12));
  EXPECT_FALSE(fixed.append_format("%s", "abcdefgh"));
  EXPECT_STREQ(fixed.c_str(), "12abcde");
  EXPECT_FALSE(fixed.append_format("z"));
  EXPECT_STREQ(fixed.c_str(), "12abcde");
}

TEST(mstring_misc, replace_char_stops_at_the_terminator) {
  string_fixed_t<16> path("a\\b\\c");
  path.buffer()[6] = '\\';  // beyond the terminator: must stay
  path.replace_char('\\', '/');
  EXPECT_STREQ(path.c_str(), "a/b/c");
  EXPECT_EQ(path.c_str()[6], '\\');
}

TEST(mstring_misc, index_is_checked_against_the_capacity_not_the_length) {
  string_fixed_t<8> fixed("ab");
  fixed[7] = 0;
  fixed[2] = 'c';
  fixed[3] = 0;
  EXPECT_STREQ(fixed.c_str(), "abc");
  EXPECT_EQ(fixed.c_str()[7], 0);
}

TEST(mstring_misc, string_view_reads_null_as_empty) {
  const string none;
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.length(), 0u);
  EXPECT_STREQ(none.c_str(), "");
  EXPECT_TRUE(none.equals(""));
  EXPECT_FALSE(string("a").equals("b"));
  string_fixed_t<8> fixed;
  EXPECT_TRUE(fixed.set(none));
  EXPECT_TRUE(fixed.empty());
}

using mstring_checks = with_stderr_log;

TEST_F(mstring_checks, index_at_capacity_is_a_failed_check) {
  string_fixed_t<8> fixed("ab");
  EXPECT_DEATH(fixed[8] = 'x',
               "level 3: strings/strings_mutable_impl\\(95\\): .*: mstring_t bounds check failed\\.");
  string_dyn_t empty;
  EXPECT_DEATH(empty[0] = 'x', "strings/strings_mutable_impl\\(95\\): .*: mstring_t bounds check failed\\.");
}

} // namespace
} // namespace orvo
