#include "ovcore/system/runtime_clock.h"

#include "ovcore/system/runtime_timer.h"
#include "ovcore/thread/sync.h"

namespace orvo {

namespace {

struct runtime_clock_t {
  thread::recursive_lock_t lock;
  runtime_timer_t* timer = nullptr;
  u64 total_us = 0;
};

runtime_clock_t& runtime_clock() {
  static runtime_clock_t clock;
  return clock;
}

} // namespace

void counter_elapsed_t::reset(u64 reading, u64 frequency) {
  previous_ = reading;
  frequency_ = frequency ? frequency : 1;
  remainder_ = 0;
}

u64 counter_elapsed_t::elapsed(u64 reading) {
  if (reading <= previous_) return 0;
  const u64 ticks = reading - previous_;
  previous_ = reading;
  const u64 whole = ticks / frequency_ * 1000000;
  const u64 rest = ticks % frequency_ * 1000000 + remainder_;
  remainder_ = rest % frequency_;
  return whole + rest / frequency_;
}

u64 runtime_clock_now() {
  runtime_clock_t& clock = runtime_clock();
  thread::scoped_lock_t guard(clock.lock);
  if (clock.timer) clock.total_us += clock.timer->elapsed();
  return clock.total_us;
}

u64 runtime_clock_since(u64 start) { return runtime_clock_now() - start; }

bool runtime_clock_start() {
  runtime_clock_t& clock = runtime_clock();
  thread::scoped_lock_t guard(clock.lock);
  if (clock.timer) return true;
  array_fixed_t<runtime_timer_t*, 8> timers;
  platform::list_runtime_timers(timers);
  for (runtime_timer_t* timer : timers) {
    if (!timer->start()) continue;
    timer->start();
    clock.timer = timer;
    return true;
  }
  return false;
}

void runtime_clock_stop() {
  runtime_clock_t& clock = runtime_clock();
  thread::scoped_lock_t guard(clock.lock);
  if (clock.timer) clock.timer->stop();
  clock.timer = nullptr;
}

void runtime_clock_report() {
  runtime_clock_t& clock = runtime_clock();
  thread::scoped_lock_t guard(clock.lock);
  if (clock.timer) clock.timer->report();
}

} // namespace orvo
