#include "tools/patcher/application.h"
#include "tools/patcher/patcher_main.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#ifdef _WIN32
#include <windows.h>
#endif

namespace orvo {
namespace {

const char* const automatic_line = "Automatic mode enabled.";
const char* const transactions_line = "Transactions allowed, specify -notransactions to disable them.";
const char* const no_transactions_line = "Patch library explicitly initialized without support for transactions";

void set_automatic_variable(bool present) {
#ifdef _WIN32
  SetEnvironmentVariableA("KTL_PATCH_OPTION_AUTOMATIC", present ? "" : nullptr);
#else
  if (present) setenv("KTL_PATCH_OPTION_AUTOMATIC", "", 1);
  else unsetenv("KTL_PATCH_OPTION_AUTOMATIC");
#endif
}

class patcher_main_test : public ::testing::Test {
protected:
  void SetUp() override { set_automatic_variable(false); }
  void TearDown() override { set_automatic_variable(false); }

  i32 run(const std::u16string& command_line) { return patcher_main(nullptr, command_line.c_str()); }
  testing::log_capture_t log;
};

TEST_F(patcher_main_test, empty_line_is_interactive_with_transactions) {
  EXPECT_EQ(run(u""), 0);
  EXPECT_FALSE(application.automatic_mode);
  EXPECT_TRUE(log.contains("Version: 1.13.3"));
  EXPECT_TRUE(log.contains(transactions_line));
  EXPECT_FALSE(log.contains(automatic_line));
  EXPECT_TRUE(log.contains("Cleanup"));
  size_t language = log.lines.size(), version = log.lines.size();
  for (size_t i = 0; i < log.lines.size(); ++i) {
    if (log.lines[i].rfind("Language autodetection: ", 0) == 0) language = i;
    if (log.lines[i] == "Version: 1.13.3") version = i;
  }
  EXPECT_LT(language, version);
  ASSERT_LT(version, log.lines.size());
}

TEST_F(patcher_main_test, automatic_without_transactions) {
  EXPECT_EQ(run(u"-automatic -notransactions"), 0);
  EXPECT_TRUE(application.automatic_mode);
  EXPECT_TRUE(log.contains(automatic_line));
  EXPECT_TRUE(log.contains(no_transactions_line));
  EXPECT_FALSE(log.contains(transactions_line));
}

TEST_F(patcher_main_test, rejected_line_exits_13_before_automatic_mode) {
  EXPECT_EQ(run(u"-foo -automatic"), exit_code_rejected_command_line);
  EXPECT_FALSE(application.automatic_mode);
  EXPECT_FALSE(log.contains(automatic_line));
  EXPECT_FALSE(log.contains(transactions_line));
}

TEST_F(patcher_main_test, environment_variable_switches_automatic_mode_on) {
  set_automatic_variable(true);
  EXPECT_EQ(run(u""), 0);
  EXPECT_TRUE(application.automatic_mode);
  EXPECT_TRUE(log.contains(automatic_line));
}

TEST_F(patcher_main_test, appdir_reaches_the_application_state) {
  EXPECT_EQ(run(u"-appdir \"C:\\Games\\\u00c9t\u00e9\""), 0);
  EXPECT_STREQ(application.external_app_dir.c_str(), "C:\\Games\\\xc3\x89t\xc3\xa9");
}

TEST_F(patcher_main_test, unconvertible_line_ignores_every_option) {
  std::u16string line = u"-foo ";
  line += char16_t(0xDC00);
  EXPECT_EQ(run(line), 0);
  EXPECT_TRUE(log.contains("Standalone tailing surrogate found."));
  EXPECT_TRUE(log.contains(transactions_line));
}

TEST_F(patcher_main_test, line_is_read_up_to_100000_units) {
  std::u16string line = u"-automatic";
  line.append(100000 - line.size(), u' ');
  line += u"-foo";
  EXPECT_EQ(run(line), 0);
  EXPECT_TRUE(application.automatic_mode);
  line[99999] = u'x';
  EXPECT_EQ(run(line), exit_code_rejected_command_line);
}

} // namespace
} // namespace orvo
