#include "common/file_tree.h"
#include "common/log_capture.h"

#include "ovcore/messages/log_file.h"
#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"

#include <gtest/gtest.h>

#include <clocale>
#include <regex>
#include <string>

namespace orvo {
namespace {

using orvo::testing::read_file;

u64 fake_now = 0;
u64 fake_clock() { return fake_now; }

constexpr u64 ms = 1000;
constexpr u64 hour = 3600000 * ms;
const char* const truncation_notice = "********** The log file exceeded its limit size, truncated.";

class log_file_test : public ::testing::Test {
protected:
  void SetUp() override {
    create_message_dispatcher();
    fs_startup();
    fake_now = 5 * hour;
    path_ = std::string("log_tests_out/") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
  }
  void TearDown() override {
    fs_shutdown();
    destroy_message_dispatcher();
  }
  // Everything after the header line.
  std::string body() const {
    const std::string content = read_file(path_);
    const size_t end = content.find("\r\n");
    return end == std::string::npos ? std::string() : content.substr(end + 2);
  }

  std::string path_;
};

TEST_F(log_file_test, header_names_the_date_in_english) {
  // The locale the runtime start-up selects.
  if (!std::setlocale(LC_ALL, "C.UTF-8")) std::setlocale(LC_ALL, "C");
  { log_file_t log(path_.c_str(), fake_clock); }
  std::setlocale(LC_ALL, "C");
  const std::regex header(
      R"(\*{12} : log created on : (Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday) )"
      R"((January|February|March|April|May|June|July|August|September|October|November|December) )"
      R"(\d\d \d{4} @ \d\d:\d\d:\d\d\r\n)");
  EXPECT_TRUE(std::regex_match(read_file(path_), header)) << read_file(path_);
}

TEST_F(log_file_test, lines_carry_time_stamp_and_level_marker) {
  {
    log_file_t log(path_.c_str(), fake_clock);
    fake_now += 1 * ms;
    log_info("Version: %s", "1.13.3");
    fake_now += 72340 * ms - 1 * ms;
    log_warning("[WRN] Abort requested");
    log_error("failed %u", 7u);
    log_info("[ERR] tagged information");
    log_message(message_level_unused, "never written");
    log.on_message("level 7", 7);
  }
  EXPECT_EQ(body(),
            "00:00:00.001 : Version: 1.13.3\r\n"
            "00:01:12.340 : <WARNING> [WRN] Abort requested\r\n"
            "00:01:12.340 : <ERROR> failed 7\r\n"
            "00:01:12.340 : [ERR] tagged information\r\n"
            "00:01:12.340 : level 7\r\n");
}

TEST(log_time_stamp, splits_microseconds_into_fields_without_wrapping_hours) {
  string_dyn_t out;
  append_log_time_stamp(out, 0);
  append_log_time_stamp(out, 59999999);
  append_log_time_stamp(out, 100 * hour + 59 * 60000 * ms + 59999 * ms + 999);
  EXPECT_STREQ(out.c_str(), "00:00:00.000 : 00:00:59.999 : 100:59:59.999 : ");
}

// The header counts as 70 bytes; each message as its text. The message that crosses the
// limit is still written, then the notice, and nothing after it.
TEST_F(log_file_test, size_limit_keeps_messages_up_to_the_one_that_crosses_it) {
  struct limit_case_t {
    u32 limit;
    u32 messages;
    u32 length;
    u32 kept;
  };
  const limit_case_t cases[] = {
      {100, 3, 40, 1},
      {150, 4, 40, 3},  // 70 + 2 * 40 reaches the limit exactly without crossing it
      {200, 5, 40, 4},
      {0, 3, 5000, 3},  // no limit
  };
  for (const limit_case_t& c : cases) {
    SCOPED_TRACE(c.limit);
    std::string expected;
    {
      log_file_t log(path_.c_str(), fake_clock);
      log.set_size_limit(c.limit);
      for (u32 i = 0; i < c.messages; ++i) {
        const std::string text(c.length, static_cast<char>('a' + i));
        if (i % 2) log_error("%s", text.c_str());
        else log_info("%s", text.c_str());
        if (i < c.kept) expected += std::string("00:00:00.000 : ") + (i % 2 ? "<ERROR> " : "") + text + "\r\n";
      }
    }
    if (c.kept < c.messages) expected += truncation_notice;
    EXPECT_EQ(body(), expected);
  }
}

TEST_F(log_file_test, destroyed_log_writes_nothing_more) {
  {
    testing::log_capture_t capture;
    { log_file_t log(path_.c_str(), fake_clock); }
    // A handler left registered would be called after its destruction.
    log_info("after the log");
    EXPECT_TRUE(capture.contains("after the log"));
    EXPECT_EQ(body(), "");
  }

  // Outliving the dispatcher is harmless too.
  auto_ptr_t<log_file_t> log(new log_file_t(path_.c_str(), fake_clock));
  ASSERT_TRUE(log->is_open());
  destroy_message_dispatcher();
  log.reset();
  create_message_dispatcher();
  log_info("after");
  EXPECT_EQ(body(), "");
}

TEST_F(log_file_test, without_a_file_the_run_goes_on_without_log) {
  testing::log_capture_t capture;
  ASSERT_TRUE(create_directories("log_tests_out/a_directory"));
  for (const char* path : {"", "log_tests_out/a_directory"}) {
    log_file_t log(path, fake_clock);
    EXPECT_FALSE(log.is_open()) << path;
    log_info("nowhere");
  }
  const std::string failed = "[fs] Failed to open file \"log_tests_out/a_directory\" in the create_truncate mode";
  EXPECT_EQ(capture.lines, (std::vector<std::string>{"nowhere", failed, "nowhere"}));
}

} // namespace
} // namespace orvo
