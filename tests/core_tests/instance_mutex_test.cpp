#include "ovcore/system/instance_mutex.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

TEST(instance_mutex, name_carries_the_fixed_prefix) {
  string_dyn_t name;
  ASSERT_TRUE(format_instance_mutex_name(name, "velmora2"));
  EXPECT_STREQ(name.c_str(), "Local\\ktl.107DB1FD-EEF4-4819-992F-93FC949C5C79.velmora2");
}

// A child process stands for the second instance.
TEST(instance_mutex, a_name_is_acquired_once_in_this_and_other_processes) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string name = "orvo_tests_instance_mutex";
  const bool first = acquire_instance_mutex(name.c_str());
  EXPECT_FALSE(acquire_instance_mutex(name.c_str()));
  EXPECT_EXIT(std::exit(acquire_instance_mutex(name.c_str()) ? 1 : 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(std::exit(acquire_instance_mutex((name + "_free").c_str()) ? 0 : 1), ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(first);
  EXPECT_TRUE(acquire_instance_mutex((name + "_other").c_str()));
}

} // namespace
} // namespace orvo
