#include "ovcore/system/instance_mutex.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

std::string unique_name(const char* suffix) {
  return std::string("orvo_tests_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + suffix;
}

TEST(instance_mutex, name_carries_the_fixed_prefix) {
  string_dyn_t name;
  ASSERT_TRUE(format_instance_mutex_name(name, "velmora2"));
  EXPECT_STREQ(name.c_str(), "Local\\ktl.107DB1FD-EEF4-4819-992F-93FC949C5C79.velmora2");
}

TEST(instance_mutex, second_acquire_of_a_name_fails_and_other_names_succeed) {
  const std::string name = unique_name("");
  EXPECT_TRUE(acquire_instance_mutex(name.c_str()));
  EXPECT_FALSE(acquire_instance_mutex(name.c_str()));
  EXPECT_TRUE(acquire_instance_mutex(unique_name("_other").c_str()));
}

// A child process stands for the second instance.
TEST(instance_mutex, another_process_gets_false_for_the_same_name) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string name = unique_name("");
  const bool first = acquire_instance_mutex(name.c_str());
  EXPECT_EXIT(std::exit(acquire_instance_mutex(name.c_str()) ? 1 : 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(std::exit(acquire_instance_mutex(unique_name("_free").c_str()) ? 0 : 1), ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(first);
}

} // namespace
} // namespace orvo
