#include "ovcore/system/processors.h"
#include "ovcore/system/runtime_clock.h"
#include "ovcore/system/runtime_timer.h"
#include "ovcore/thread/sync.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

TEST(counter_elapsed, converts_ticks_and_carries_the_remainder) {
  counter_elapsed_t counter;
  counter.reset(1000, 3);
  EXPECT_EQ(counter.elapsed(1001), 333333u);
  EXPECT_EQ(counter.elapsed(1002), 333333u);
  EXPECT_EQ(counter.elapsed(1003), 333334u);
}

TEST(counter_elapsed, never_runs_backwards) {
  counter_elapsed_t counter;
  counter.reset(5000, 1000);
  EXPECT_EQ(counter.elapsed(4000), 0u);
  EXPECT_EQ(counter.elapsed(5000), 0u);
  EXPECT_EQ(counter.elapsed(5002), 2000u);
}

TEST(counter_elapsed, long_spans_do_not_overflow) {
  counter_elapsed_t counter;
  counter.reset(0, 10000000);
  const u64 year_of_ticks = u64{10000000} * 3600 * 24 * 365;
  EXPECT_EQ(counter.elapsed(year_of_ticks), u64{1000000} * 3600 * 24 * 365);
}

TEST(runtime_clock, advances_monotonically_and_reports_its_timer) {
  detect_processors();
  ASSERT_TRUE(runtime_clock_start());
  u64 previous = runtime_clock_now();
  for (int i = 0; i < 1000; ++i) {
    const u64 now = runtime_clock_now();
    ASSERT_GE(now, previous);
    previous = now;
  }
  const u64 start = runtime_clock_now();
  thread::sleep_ms(30);
  const u64 slept = runtime_clock_since(start);
  EXPECT_GE(slept, 25000u);
  EXPECT_LT(slept, 5000000u);

  testing::log_capture_t log;
  runtime_clock_report();
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0].rfind("[sys] using ", 0), 0u) << log.lines[0];
  runtime_clock_stop();
  EXPECT_GE(runtime_clock_now(), previous);
}

} // namespace
} // namespace orvo
