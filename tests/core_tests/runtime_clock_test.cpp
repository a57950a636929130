#include "ovcore/system/processors.h"
#include "ovcore/system/runtime_clock.h"
#include "ovcore/system/runtime_timer.h"
#include "ovcore/thread/sync.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvo {
namespace {

TEST(counter_elapsed, converts_ticks_carries_the_remainder_and_never_runs_backwards) {
  struct elapsed_case_t {
    u64 start;
    u64 frequency;
    std::vector<std::pair<u64, u64>> readings;  // reading, microseconds since the previous one
  };
  const u64 year = u64{3600} * 24 * 365;
  const elapsed_case_t cases[] = {
      {1000, 3, {{1001, 333333}, {1002, 333333}, {1003, 333334}}},
      {5000, 1000, {{4000, 0}, {5000, 0}, {5002, 2000}}},
      {0, 10000000, {{10000000 * year, 1000000 * year}}},  // a long span does not overflow
  };
  for (const elapsed_case_t& c : cases) {
    counter_elapsed_t counter;
    counter.reset(c.start, c.frequency);
    for (const auto& [reading, microseconds] : c.readings) EXPECT_EQ(counter.elapsed(reading), microseconds) << reading;
  }
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
