#include "tools/patcher/argv_command_line.h"
#include "tools/patcher/command_line.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

struct parsed_t {
  bool accepted;
  command_line_options_t options;
};

parsed_t parse(const char* text) {
  parsed_t result;
  result.accepted = parse_command_line(text, result.options);
  return result;
}

const char* const appdir_error = "[ERR] Parameter -appdir requires one quoted parameter";

TEST(command_line, empty_line_keeps_defaults) {
  for (const char* text : {"", "   \t\r\n "}) {
    parsed_t r = parse(text);
    EXPECT_TRUE(r.accepted);
    EXPECT_FALSE(r.options.automatic_mode);
    EXPECT_TRUE(r.options.transactions_allowed);
    EXPECT_TRUE(r.options.external_app_dir.empty());
  }
}

TEST(command_line, options_in_any_order_and_repeated) {
  parsed_t r = parse(" -notransactions\t-automatic -automatic ");
  EXPECT_TRUE(r.accepted);
  EXPECT_TRUE(r.options.automatic_mode);
  EXPECT_FALSE(r.options.transactions_allowed);
}

TEST(command_line, appdir_keeps_backslashes_and_unescapes_bars) {
  parsed_t r = parse("-appdir \"C:\\Games\\X\"");
  ASSERT_TRUE(r.accepted);
  EXPECT_STREQ(r.options.external_app_dir.c_str(), "C:\\Games\\X");

  r = parse("-appdir \"a|\"b||c\" -automatic");
  ASSERT_TRUE(r.accepted);
  EXPECT_STREQ(r.options.external_app_dir.c_str(), "a\"b|c");
  EXPECT_TRUE(r.options.automatic_mode);

  r = parse("-appdir \"\"");
  ASSERT_TRUE(r.accepted);
  EXPECT_TRUE(r.options.external_app_dir.empty());
}

TEST(command_line, later_appdir_wins) {
  parsed_t r = parse("-appdir \"first\" -appdir \"second\"");
  ASSERT_TRUE(r.accepted);
  EXPECT_STREQ(r.options.external_app_dir.c_str(), "second");
}

TEST(command_line, appdir_without_quoted_value_is_rejected) {
  for (const char* text : {"-appdir", "-appdir   ", "-appdir C:\\Games", "-appdir \"C:\\Games", "-appdir \"abc|"}) {
    testing::log_capture_t log;
    EXPECT_FALSE(parse(text).accepted) << text;
    ASSERT_TRUE(log.contains(appdir_error)) << text;
    EXPECT_EQ(log.level_of(appdir_error), message_level_info);
  }
}

TEST(command_line, unknown_word_reports_the_rest_of_the_line) {
  testing::log_capture_t log;
  parsed_t r = parse("-foo -automatic");
  EXPECT_FALSE(r.accepted);
  EXPECT_FALSE(r.options.automatic_mode);
  EXPECT_TRUE(log.contains("[ERR] Unknown parameter '-foo -automatic'"));
  EXPECT_EQ(log.level_of("[ERR] Unknown parameter '-foo -automatic'"), message_level_info);
}

TEST(command_line, options_are_case_sensitive_and_stand_alone) {
  for (const char* text : {"-Automatic", "-automaticX", "-appdir=\"x\"", "-appdir\"x\"", "-notransactions-automatic", "automatic"}) {
    testing::log_capture_t log;
    EXPECT_FALSE(parse(text).accepted) << text;
    EXPECT_TRUE(log.contains(std::string("[ERR] Unknown parameter '") + text + "'")) << text;
  }
}

TEST(command_line, quoted_parameter_leaves_position_after_closing_quote) {
  const char* text = "  \"a b\" rest";
  const char* pos = text;
  string_dyn_t value;
  ASSERT_TRUE(read_quoted_parameter(value, pos));
  EXPECT_STREQ(value.c_str(), "a b");
  EXPECT_STREQ(pos, " rest");
}

TEST(argv_command_line, quotes_values_and_round_trips_through_the_parser) {
  const char* argv[] = {"-appdir", "/games/my \"best\" | game", "-automatic", "-notransactions"};
  string_dyn_t line;
  ASSERT_TRUE(build_command_line(line, 4, argv));
  EXPECT_STREQ(line.c_str(), "-appdir \"/games/my |\"best|\" || game\" -automatic -notransactions");
  parsed_t r = parse(line.c_str());
  ASSERT_TRUE(r.accepted);
  EXPECT_STREQ(r.options.external_app_dir.c_str(), "/games/my \"best\" | game");
  EXPECT_TRUE(r.options.automatic_mode);
  EXPECT_FALSE(r.options.transactions_allowed);
}

TEST(argv_command_line, stray_value_is_quoted_and_so_rejected_as_unknown) {
  const char* argv[] = {"/games/x"};
  string_dyn_t line;
  ASSERT_TRUE(build_command_line(line, 1, argv));
  EXPECT_STREQ(line.c_str(), "\"/games/x\"");
  EXPECT_FALSE(parse(line.c_str()).accepted);
}

} // namespace
} // namespace orvo
