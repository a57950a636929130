#include "common/log_capture.h"

#include "ovcore/messages/log_file.h"
#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace orvo {
namespace {

u64 fake_now = 0;
u64 fake_clock() { return fake_now; }

constexpr u64 ms = 1000;
constexpr u64 hour = 3600000 * ms;
const char* const truncation_notice = "********** The log file exceeded its limit size, truncated.";

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// Everything after the header line.
std::string body_of(const std::string& content) {
  const size_t end = content.find("\r\n");
  return end == std::string::npos ? std::string() : content.substr(end + 2);
}

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
  std::string body() const { return body_of(read_file(path_)); }

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
    log_warning("no tag");
    log_error("failed %u", 7u);
    log_info("[ERR] tagged information");
    log_message(message_level_unused, "never written");
    log.on_message("level 7", 7);
  }
  EXPECT_EQ(body(),
            "00:00:00.001 : Version: 1.13.3\r\n"
            "00:01:12.340 : <WARNING> [WRN] Abort requested\r\n"
            "00:01:12.340 : <WARNING> no tag\r\n"
            "00:01:12.340 : <ERROR> failed 7\r\n"
            "00:01:12.340 : [ERR] tagged information\r\n"
            "00:01:12.340 : level 7\r\n");
}

TEST_F(log_file_test, hours_are_not_wrapped) {
  {
    log_file_t log(path_.c_str(), fake_clock);
    fake_now += 123 * hour + 5 * 60000 * ms + 999;
    log_info("late");
  }
  EXPECT_EQ(body(), "123:05:00.000 : late\r\n");
}

TEST_F(log_file_test, message_crossing_the_limit_is_written_then_the_notice) {
  const std::string forty(40, 'a');
  {
    log_file_t log(path_.c_str(), fake_clock);
    log.set_size_limit(100);
    log_info("%s", forty.c_str());
    log_info("dropped");
    log_error("dropped too");
  }
  EXPECT_EQ(body(), "00:00:00.000 : " + forty + "\r\n" + truncation_notice);
}

TEST_F(log_file_test, fourth_message_of_forty_reaches_a_limit_of_200) {
  std::string expected;
  {
    log_file_t log(path_.c_str(), fake_clock);
    log.set_size_limit(200);
    for (char c = 'a'; c < 'f'; ++c) {
      const std::string text(40, c);
      log_info("%s", text.c_str());
      if (c < 'e') expected += "00:00:00.000 : " + text + "\r\n";
    }
  }
  EXPECT_EQ(body(), expected + truncation_notice);
}

TEST_F(log_file_test, reaching_the_limit_exactly_is_not_crossing_it) {
  std::string expected;
  {
    log_file_t log(path_.c_str(), fake_clock);
    log.set_size_limit(150);
    for (char c = 'a'; c < 'e'; ++c) {
      const std::string text(40, c);
      log_info("%s", text.c_str());
      if (c < 'd') expected += "00:00:00.000 : " + text + "\r\n";
    }
  }
  EXPECT_EQ(body(), expected + truncation_notice);
}

TEST_F(log_file_test, without_limit_nothing_is_dropped) {
  const std::string long_text(5000, 'x');
  {
    log_file_t log(path_.c_str(), fake_clock);
    for (int i = 0; i < 3; ++i) log_info("%s", long_text.c_str());
  }
  const std::string line = "00:00:00.000 : " + long_text + "\r\n";
  EXPECT_EQ(body(), line + line + line);
}

TEST_F(log_file_test, unregisters_on_destruction) {
  testing::log_capture_t capture;
  { log_file_t log(path_.c_str(), fake_clock); }
  // A handler left registered would be called after its destruction.
  log_info("after the log");
  EXPECT_TRUE(capture.contains("after the log"));
  EXPECT_EQ(body(), "");
}

TEST_F(log_file_test, empty_path_gives_a_handler_without_file) {
  testing::log_capture_t capture;
  {
    log_file_t log("", fake_clock);
    EXPECT_FALSE(log.is_open());
    log_info("nowhere");
  }
  EXPECT_TRUE(capture.contains("nowhere"));
  EXPECT_EQ(capture.lines.size(), 1u);
}

TEST_F(log_file_test, uncreatable_file_leaves_the_run_without_log) {
  testing::log_capture_t capture;
  ASSERT_TRUE(create_directories("log_tests_out/a_directory"));
  {
    log_file_t log("log_tests_out/a_directory", fake_clock);
    EXPECT_FALSE(log.is_open());
  }
  EXPECT_TRUE(capture.contains("[fs] Failed to open file \"log_tests_out/a_directory\" in the create_truncate mode"));
}

TEST_F(log_file_test, outliving_the_dispatcher_is_harmless) {
  auto_ptr_t<log_file_t> log(new log_file_t(path_.c_str(), fake_clock));
  ASSERT_TRUE(log->is_open());
  destroy_message_dispatcher();
  log.reset();
  create_message_dispatcher();
  log_info("after");
  EXPECT_EQ(body(), "");
}

TEST(log_time_stamp, splits_milliseconds_into_fields) {
  string_dyn_t out;
  append_log_time_stamp(out, 0);
  append_log_time_stamp(out, 59999999);
  append_log_time_stamp(out, 100 * hour + 59 * 60000 * ms + 59999 * ms + 999);
  EXPECT_STREQ(out.c_str(), "00:00:00.000 : 00:00:59.999 : 100:59:59.999 : ");
}

} // namespace
} // namespace orvo
