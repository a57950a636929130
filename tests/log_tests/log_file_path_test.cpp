#include "tools/patcher/log_file_path.h"

#include "ovcore/messages/message_dispatcher.h"
#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"

#include <gtest/gtest.h>

#include <ctime>
#include <regex>
#include <string>

namespace orvo {
namespace {

TEST(log_file_name, is_the_time_in_sixteen_hex_digits) {
  const std::pair<i64, const char*> cases[] = {{1401790507, "kora_patch_00000000538DA02B.log"},
                                               {0, "kora_patch_0000000000000000.log"},
                                               {0x0123456789ABCDEFll, "kora_patch_0123456789ABCDEF.log"}};
  for (const auto& [seconds, expected] : cases) {
    string_dyn_t name;
    ASSERT_TRUE(format_log_file_name(name, seconds));
    EXPECT_STREQ(name.c_str(), expected);
  }
}

class log_file_path : public ::testing::Test {
protected:
  void SetUp() override {
    create_message_dispatcher();
    fs_startup();
    ASSERT_TRUE(get_temp_directory(folder_));
  }
  void TearDown() override {
    fs_shutdown();
    destroy_message_dispatcher();
  }
  string_dyn_t folder_;
};

TEST_F(log_file_path, lies_in_the_work_folder_and_names_the_current_second) {
  const i64 before = static_cast<i64>(std::time(nullptr));
  string_dyn_t path;
  build_log_file_path(path);
  const i64 after = static_cast<i64>(std::time(nullptr));

  const std::string text = path.c_str();
  const std::string prefix = std::string(folder_.c_str()) + "/kora_patch_";
  ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
  ASSERT_TRUE(std::regex_match(text.substr(prefix.size()), std::regex("[0-9A-F]{16}\\.log"))) << text;
  const i64 seconds = static_cast<i64>(std::stoull(text.substr(prefix.size(), 16), nullptr, 16));
  EXPECT_GE(seconds, before);
  EXPECT_LE(seconds, after);
}

// Runs in the same second never share a log: each later one gets the next free suffix.
TEST_F(log_file_path, a_taken_name_gets_the_next_suffix) {
  const std::string base = std::string(folder_.c_str()) + "/kora_patch_clash_" + std::to_string(std::time(nullptr));
  const char* expected[] = {".log", "_1.log", "_2.log"};
  for (const char* suffix : expected) {
    string_dyn_t path((base + ".log").c_str());
    EXPECT_TRUE(create_log_file(path));
    EXPECT_EQ(std::string(path.c_str()), base + suffix);
  }
  for (const char* suffix : expected) delete_file((base + suffix).c_str());
}

} // namespace
} // namespace orvo
