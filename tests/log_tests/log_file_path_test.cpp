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
  string_dyn_t name;
  ASSERT_TRUE(format_log_file_name(name, 1401790507));
  EXPECT_STREQ(name.c_str(), "kora_patch_00000000538DA02B.log");
  ASSERT_TRUE(format_log_file_name(name, 0));
  EXPECT_STREQ(name.c_str(), "kora_patch_0000000000000000.log");
  ASSERT_TRUE(format_log_file_name(name, 0x0123456789ABCDEFll));
  EXPECT_STREQ(name.c_str(), "kora_patch_0123456789ABCDEF.log");
}

TEST(log_file_path, lies_in_the_work_folder_and_names_the_current_second) {
  create_message_dispatcher();
  fs_startup();
  string_dyn_t folder;
  ASSERT_TRUE(get_temp_directory(folder));
  const i64 before = static_cast<i64>(std::time(nullptr));
  string_dyn_t path;
  build_log_file_path(path);
  const i64 after = static_cast<i64>(std::time(nullptr));
  fs_shutdown();
  destroy_message_dispatcher();

  const std::string text = path.c_str();
  const std::string prefix = std::string(folder.c_str()) + "/kora_patch_";
  ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
  ASSERT_TRUE(std::regex_match(text.substr(prefix.size()), std::regex("[0-9A-F]{16}\\.log"))) << text;
  const i64 seconds = static_cast<i64>(std::stoull(text.substr(prefix.size(), 16), nullptr, 16));
  EXPECT_GE(seconds, before);
  EXPECT_LE(seconds, after);
}

// Runs in the same second never share a log: each later one gets the next free suffix.
TEST(log_file_path, a_taken_name_gets_the_next_suffix) {
  create_message_dispatcher();
  fs_startup();
  string_dyn_t folder;
  ASSERT_TRUE(get_temp_directory(folder));
  const std::string base = std::string(folder.c_str()) + "/kora_patch_clash_" + std::to_string(std::time(nullptr));
  const char* expected[] = {".log", "_1.log", "_2.log"};
  for (const char* suffix : expected) {
    string_dyn_t path((base + ".log").c_str());
    auto_ptr_t<file_t> file = create_log_file(path);
    EXPECT_TRUE(file);
    EXPECT_EQ(std::string(path.c_str()), base + suffix);
  }
  for (const char* suffix : expected) delete_file((base + suffix).c_str());
  fs_shutdown();
  destroy_message_dispatcher();
}

} // namespace
} // namespace orvo
