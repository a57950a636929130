#include "tools/patcher/argv_command_line.h"
#include "tools/patcher/command_line.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

struct line_case_t {
  const char* text;
  bool accepted;
  bool automatic;
  bool transactions;
  const char* appdir;
  // The error line of a refused line, logged at the info level.
  std::string error;
};

TEST(command_line, lines_are_accepted_or_refused_with_the_rest_of_the_line) {
  const std::string appdir_error = "[ERR] Parameter -appdir requires one quoted parameter";
  const auto unknown = [](const char* rest) { return std::string("[ERR] Unknown parameter '") + rest + "'"; };
  const line_case_t cases[] = {
      {"", true, false, true, "", ""},
      {"   \t\r\n ", true, false, true, "", ""},
      {" -notransactions\t-automatic -automatic ", true, true, false, "", ""},
      {"-appdir \"C:\\Games\\X\"", true, false, true, "C:\\Games\\X", ""},
      {"-appdir \"a|\"b||c\" -automatic", true, true, true, "a\"b|c", ""},
      {"-appdir \"\"", true, false, true, "", ""},
      {"-appdir \"first\" -appdir \"second\"", true, false, true, "second", ""},
      {"-appdir", false, false, true, "", appdir_error},
      {"-appdir   ", false, false, true, "", appdir_error},
      {"-appdir C:\\Games", false, false, true, "", appdir_error},
      {"-appdir \"C:\\Games", false, false, true, "", appdir_error},
      {"-appdir \"abc|", false, false, true, "", appdir_error},
      {"-foo -automatic", false, false, true, "", unknown("-foo -automatic")},
      {"-Automatic", false, false, true, "", unknown("-Automatic")},
      {"-automaticX", false, false, true, "", unknown("-automaticX")},
      {"-appdir=\"x\"", false, false, true, "", unknown("-appdir=\"x\"")},
      {"-appdir\"x\"", false, false, true, "", unknown("-appdir\"x\"")},
      {"-notransactions-automatic", false, false, true, "", unknown("-notransactions-automatic")},
      {"automatic", false, false, true, "", unknown("automatic")},
  };
  for (const line_case_t& c : cases) {
    SCOPED_TRACE(c.text);
    testing::log_capture_t log;
    command_line_options_t options;
    EXPECT_EQ(parse_command_line(c.text, options), c.accepted);
    EXPECT_EQ(options.automatic_mode, c.automatic);
    if (c.accepted) {
      EXPECT_EQ(options.transactions_allowed, c.transactions);
      EXPECT_STREQ(options.external_app_dir.c_str(), c.appdir);
    } else {
      EXPECT_EQ(log.level_of(c.error), message_level_info);
    }
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

// Arguments are joined into a line the parser reads back; a stray value is quoted and so refused.
TEST(argv_command_line, quotes_values_and_round_trips_through_the_parser) {
  const char* argv[] = {"-appdir", "/games/my \"best\" | game", "-automatic", "-notransactions"};
  string_dyn_t line;
  ASSERT_TRUE(build_command_line(line, 4, argv));
  EXPECT_STREQ(line.c_str(), "-appdir \"/games/my |\"best|\" || game\" -automatic -notransactions");
  command_line_options_t options;
  ASSERT_TRUE(parse_command_line(line.c_str(), options));
  EXPECT_STREQ(options.external_app_dir.c_str(), "/games/my \"best\" | game");
  EXPECT_TRUE(options.automatic_mode);
  EXPECT_FALSE(options.transactions_allowed);

  const char* stray[] = {"/games/x"};
  ASSERT_TRUE(build_command_line(line, 1, stray));
  EXPECT_STREQ(line.c_str(), "\"/games/x\"");
  EXPECT_FALSE(parse_command_line(line.c_str(), options));
}

} // namespace
} // namespace orvo
