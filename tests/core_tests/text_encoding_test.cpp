#include "common/log_capture.h"

#include "ovcore/strings/text_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace orvo {
namespace {

using testing::log_capture_t;

const std::string invalid = "Encountered invalid code point.";

// Every message is an error.
void expect_errors(const log_capture_t& log, const std::vector<std::string>& messages) {
  EXPECT_EQ(log.lines, messages);
  EXPECT_EQ(log.levels, std::vector<u32>(messages.size(), message_level_error));
}

TEST(text_encoding, utf8_to_utf16_converts_what_is_valid_and_names_what_is_not) {
  struct utf8_case_t {
    std::vector<u8> bytes;
    std::vector<u32> units;
    std::vector<std::string> messages;
  };
  const utf8_case_t cases[] = {
      {{}, {0}, {}},
      {{'A', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80, 0xF4, 0x8F, 0xBF, 0xBF},
       {0x41, 0xE9, 0x20AC, 0xD83D, 0xDE00, 0xDBFF, 0xDFFF, 0},
       {}},
      {{'a', 0xED, 0xA0, 0x80, 'b'}, {'a', 'b', 0}, {"A reserved code point value 0xd800 encountered."}},
      {{0x80, 'x'}, {'x', 0}, {invalid}},  // one byte of an invalid sequence is skipped
      {{0xE2, 0x82}, {0}, {invalid, invalid}},  // a truncated sequence stops at the terminator
      {{0xF7, 0xBF, 0xBF, 0xBF, 0xF4, 0x90, 0x80, 0x80}, {0},
       {"Unexpected code point 0x001fffff.", "Unexpected code point 0x00110000."}},
      // The least code point of each length is valid; longer forms of smaller ones are not.
      {{0xC2, 0x80, 0xE0, 0xA0, 0x80, 0xF0, 0x90, 0x80, 0x80}, {0x80, 0x800, 0xD800, 0xDC00, 0}, {}},
      {{'a', 0xC0, 0x80, 'b'}, {'a', 'b', 0}, {invalid, invalid}},  // overlong NUL
      {{0xC0, 0xA2}, {0}, {invalid, invalid}},                      // overlong quote
      {{0xE0, 0x9F, 0xBF}, {0}, {invalid, invalid, invalid}},
      {{0xF0, 0x8F, 0xBF, 0xBF}, {0}, {invalid, invalid, invalid, invalid}},
  };
  for (const utf8_case_t& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    // A heap block of exactly the input, so a read past the terminator is caught.
    std::unique_ptr<char[]> text(new char[c.bytes.size() + 1]);
    std::copy(c.bytes.begin(), c.bytes.end(), text.get());
    text[c.bytes.size()] = 0;
    log_capture_t log;
    wide_buffer_t out;
    ASSERT_TRUE(out.push(0x41));
    EXPECT_EQ(utf8_to_utf16(out, text.get()), c.messages.empty());
    EXPECT_EQ(std::vector<u32>(out.begin(), out.end()), c.units);
    expect_errors(log, c.messages);
  }
}

TEST(text_encoding, wide_buffer_holds_at_most_511_units_and_the_terminator) {
  log_capture_t log;
  wide_buffer_t out;
  EXPECT_TRUE(utf8_to_utf16(out, std::string(511, 'p').c_str()));
  EXPECT_EQ(out.size(), 512u);
  EXPECT_EQ(out[511], 0);
  EXPECT_FALSE(utf8_to_utf16(out, std::string(512, 'p').c_str()));
  EXPECT_FALSE(utf8_to_utf16(out, std::string(600, 'p').c_str()));
  // A pair that no longer fits fails as well.
  EXPECT_FALSE(utf8_to_utf16(out, (std::string(510, 'p') + "\xF0\x9F\x98\x80").c_str()));
  EXPECT_TRUE(log.lines.empty());
}

TEST(text_encoding, utf16_to_utf8_stops_at_max_units_or_the_terminator_and_names_bad_surrogates) {
  struct utf16_case_t {
    std::vector<wchar16_t> units;
    u32 max_units;
    bool small_output;  // 4 bytes, else 64
    std::string text;
    std::vector<std::string> messages;
    bool converted;
  };
  const std::string ends_with_leading = "Input ends with leading surrogate.";
  const utf16_case_t cases[] = {
      {{0x41, 0xE9, 0x20AC, 0xD83D, 0xDE00, 0xDBFF, 0xDFFF, 0}, 100, false,
       "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", {}, true},
      {{'a', 'b', 'c', 0, 'd'}, 2, false, "ab", {}, true},
      {{'a', 'b', 'c', 0, 'd'}, 5, false, "abc", {}, true},
      {{'a'}, 0, false, "", {}, true},
      {{0xD83D, 0xDE00}, 2, false, "\xF0\x9F\x98\x80", {}, true},
      {{'a', 0x20AC, 0}, 3, true, "a\xE2\x82", {}, false},  // the output is full
      {{0xD83D, 0x41, 0}, 3, false, "A", {"Leading surrogate without trailing one found."}, false},
      {{'x', 0xDC00, 'y', 0}, 10, false, "xy", {"Standalone tailing surrogate found."}, false},
      {{0xD83D, 0xDE00}, 1, false, "", {ends_with_leading}, false},
      {{'k', 0xD800}, 2, false, "k", {ends_with_leading}, false},
  };
  for (const utf16_case_t& c : cases) {
    SCOPED_TRACE(c.text);
    log_capture_t log;
    string_fixed_t<4> small;
    string_fixed_t<64> large("stale");
    mstring_t& out = c.small_output ? static_cast<mstring_t&>(small) : large;
    EXPECT_EQ(utf16_to_utf8(out, c.units.data(), c.max_units), c.converted);
    EXPECT_EQ(std::string(out.c_str()), c.text);
    expect_errors(log, c.messages);
  }
}

} // namespace
} // namespace orvo
