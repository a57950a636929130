// The operation bridge refuses calls out of order: each is a failed check that ends the process.
#include "ovcore/messages/messages.h"
#include "tools/patcher/patcher_pool.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace orvo {
namespace {

void print_failed_check(const char* message, const char* source_file, u32 line, const char*) {
  std::fprintf(stderr, "%s(%u): %s\n", source_file, line, message);
  std::fflush(stderr);
}

struct out_of_order_t {
  const char* name;
  void (*call)();
  const char* report;
};

const out_of_order_t out_of_order_calls[] = {
    {"analysis before verification", [] { start_patch_analysis(); }, "patcher_pool\\(121\\): Pool was not initialized\\."},
    {"patching before verification", [] { start_patching(); }, "patcher_pool\\(139\\): Pool was not initialized\\."},
    {"work question before analysis", [] { is_patch_necessary(); },
     "patcher_pool\\(48\\): Query function called before analysis\\."},
    {"space question before analysis", [] { get_required_free_space(); },
     "patcher_pool\\(65\\): Query function called before analysis\\."},
};

TEST(patcher_pool, calls_out_of_order_are_failed_checks) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const out_of_order_t& c : out_of_order_calls) {
    SCOPED_TRACE(c.name);
    EXPECT_DEATH(
        {
          fatal_hook = print_failed_check;
          c.call();
        },
        c.report);
  }
  // Releasing when nothing runs is allowed and does nothing.
  operation_release();
  EXPECT_EQ(current_operation(), nullptr);
}

} // namespace
} // namespace orvo
