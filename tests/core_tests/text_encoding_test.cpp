#include "message_capture.h"

#include "ovcore/strings/text_encoding.h"

#include <memory>
#include <string>
#include <vector>

namespace orvo {
namespace {

using testing::with_log_capture;
using text_encoding = with_log_capture;

std::vector<u32> units(const array_t<wchar16_t>& array) { return std::vector<u32>(array.begin(), array.end()); }

// The input bytes in a heap block of exactly their size, so a read past the terminator is caught.
std::unique_ptr<char[]> exact_copy(const std::vector<u8>& bytes) {
  std::unique_ptr<char[]> copy(new char[bytes.size() + 1]);
  for (size_t i = 0; i < bytes.size(); ++i) copy[i] = static_cast<char>(bytes[i]);
  copy[bytes.size()] = 0;
  return copy;
}

TEST_F(text_encoding, utf8_to_utf16_of_empty_text_is_one_terminator) {
  wide_buffer_t out;
  ASSERT_TRUE(out.push(0x41));
  EXPECT_TRUE(utf8_to_utf16(out, ""));
  EXPECT_EQ(units(out), std::vector<u32>{0});
  EXPECT_TRUE(log.messages.empty());
}

// Each length at its least code point, one inside and the greatest code point.
TEST_F(text_encoding, utf8_to_utf16_of_every_sequence_length) {
  array_dyn_t<wchar16_t> out;
  const auto text = exact_copy({'A', 0xC2, 0x80, 0xC3, 0xA9, 0xE0, 0xA0, 0x80, 0xE2, 0x82, 0xAC, 0xF0, 0x90, 0x80, 0x80,
                                0xF0, 0x9F, 0x98, 0x80, 0xF4, 0x8F, 0xBF, 0xBF});
  EXPECT_TRUE(utf8_to_utf16(out, text.get()));
  EXPECT_EQ(units(out), (std::vector<u32>{0x41, 0x80, 0xE9, 0x800, 0x20AC, 0xD800, 0xDC00, 0xD83D, 0xDE00, 0xDBFF,
                                          0xDFFF, 0}));
  EXPECT_TRUE(log.messages.empty());
}

// Each invalid byte is skipped with a message; what is valid around it is kept.
TEST_F(text_encoding, utf8_to_utf16_rejects_what_is_not_utf8) {
  const std::string invalid = "Encountered invalid code point.";
  struct case_t {
    const char* what;
    std::vector<u8> bytes;
    std::vector<u32> units;
    std::vector<std::string> messages;
  };
  const case_t cases[] = {
      {"encoded surrogate", {'a', 0xED, 0xA0, 0x80, 'b'}, {'a', 'b', 0}, {"A reserved code point value 0xd800 encountered."}},
      {"lone continuation byte", {0x80, 'x'}, {'x', 0}, {invalid}},
      {"sequence cut by the terminator", {0xE2, 0x82}, {0}, {invalid, invalid}},
      {"beyond Unicode",
       {0xF7, 0xBF, 0xBF, 0xBF, 0xF4, 0x90, 0x80, 0x80},
       {0},
       {"Unexpected code point 0x001fffff.", "Unexpected code point 0x00110000."}},
      {"overlong NUL", {'a', 0xC0, 0x80, 'b'}, {'a', 'b', 0}, {invalid, invalid}},
      {"overlong quote", {0xC0, 0xA2}, {0}, {invalid, invalid}},
      {"overlong two-byte form", {0xE0, 0x9F, 0xBF}, {0}, {invalid, invalid, invalid}},
      {"overlong three-byte form", {0xF0, 0x8F, 0xBF, 0xBF}, {0}, {invalid, invalid, invalid, invalid}},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.what);
    log.messages.clear();
    array_dyn_t<wchar16_t> out;
    const auto text = exact_copy(c.bytes);
    EXPECT_FALSE(utf8_to_utf16(out, text.get()));
    EXPECT_EQ(units(out), c.units);
    EXPECT_EQ(log.texts(), c.messages);
    for (const auto& message : log.messages) EXPECT_EQ(message.level, message_level_error);
  }
}

TEST_F(text_encoding, wide_buffer_holds_at_most_511_units_and_the_terminator) {
  wide_buffer_t out;
  EXPECT_TRUE(utf8_to_utf16(out, std::string(511, 'p').c_str()));
  EXPECT_EQ(out.size(), 512u);
  EXPECT_EQ(out[511], 0);
  EXPECT_FALSE(utf8_to_utf16(out, std::string(512, 'p').c_str()));
  EXPECT_FALSE(utf8_to_utf16(out, std::string(600, 'p').c_str()));
  // A pair that no longer fits fails as well.
  std::string pairs(510, 'p');
  pairs += "\xF0\x9F\x98\x80";
  EXPECT_FALSE(utf8_to_utf16(out, pairs.c_str()));
  EXPECT_TRUE(log.messages.empty());
}

TEST_F(text_encoding, utf16_to_utf8_of_every_length) {
  const wchar16_t in[] = {0x41, 0xE9, 0x20AC, 0xD83D, 0xDE00, 0xDBFF, 0xDFFF, 0};
  string_dyn_t out;
  EXPECT_TRUE(utf16_to_utf8(out, in, 100));
  EXPECT_EQ(std::string(out.c_str()), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
  EXPECT_TRUE(log.messages.empty());
}

TEST_F(text_encoding, utf16_to_utf8_stops_at_max_units_or_terminator) {
  const wchar16_t in[] = {'a', 'b', 'c', 0, 'd'};
  string_fixed_t<16> out("stale");
  EXPECT_TRUE(utf16_to_utf8(out, in, 2));
  EXPECT_STREQ(out.c_str(), "ab");
  EXPECT_TRUE(utf16_to_utf8(out, in, 5));
  EXPECT_STREQ(out.c_str(), "abc");
  EXPECT_TRUE(utf16_to_utf8(out, in, 0));
  EXPECT_STREQ(out.c_str(), "");
}

TEST_F(text_encoding, utf16_to_utf8_of_a_surrogate_pair) {
  const wchar16_t in[] = {0xD83D, 0xDE00};
  string_dyn_t out;
  EXPECT_TRUE(utf16_to_utf8(out, in, 2));
  EXPECT_EQ(std::string(out.c_str()), "\xF0\x9F\x98\x80");
}

TEST_F(text_encoding, utf16_to_utf8_leading_surrogate_without_trailing_one) {
  const wchar16_t in[] = {0xD83D, 0x41, 0};
  string_dyn_t out;
  EXPECT_FALSE(utf16_to_utf8(out, in, 3));
  EXPECT_STREQ(out.c_str(), "A");
  EXPECT_EQ(log.texts(), std::vector<std::string>{"Leading surrogate without trailing one found."});
  EXPECT_EQ(log.messages[0].level, message_level_error);
}

TEST_F(text_encoding, utf16_to_utf8_standalone_trailing_surrogate_is_skipped) {
  const wchar16_t in[] = {'x', 0xDC00, 'y', 0};
  string_dyn_t out;
  EXPECT_FALSE(utf16_to_utf8(out, in, 10));
  EXPECT_STREQ(out.c_str(), "xy");
  EXPECT_EQ(log.texts(), std::vector<std::string>{"Standalone tailing surrogate found."});
}

TEST_F(text_encoding, utf16_to_utf8_input_ending_with_a_leading_surrogate) {
  const wchar16_t in[] = {0xD83D, 0xDE00};
  string_dyn_t out;
  EXPECT_FALSE(utf16_to_utf8(out, in, 1));
  EXPECT_EQ(log.texts(), std::vector<std::string>{"Input ends with leading surrogate."});
  const wchar16_t tail[] = {'k', 0xD800};
  EXPECT_FALSE(utf16_to_utf8(out, tail, 2));
  EXPECT_STREQ(out.c_str(), "k");
}

TEST_F(text_encoding, utf16_to_utf8_into_a_full_fixed_string_fails) {
  const wchar16_t in[] = {'a', 0x20AC, 0};
  string_fixed_t<4> out;
  EXPECT_FALSE(utf16_to_utf8(out, in, 3));
  EXPECT_STREQ(out.c_str(), "a\xE2\x82");
  EXPECT_TRUE(log.messages.empty());
}

TEST_F(text_encoding, round_trip_of_a_path) {
  const std::string path = "C:/Spiele/Velmora \xE2\x80\x93 \xC3\x9C"
                           "bersicht/\xF0\x9F\x98\x80/bin/win_x86/velmora2.exe";
  wide_buffer_t wide;
  ASSERT_TRUE(utf8_to_utf16(wide, path.c_str()));
  string_path_t back;
  EXPECT_TRUE(utf16_to_utf8(back, wide.data(), wide.size()));
  EXPECT_EQ(std::string(back.c_str()), path);
}

} // namespace
} // namespace orvo
