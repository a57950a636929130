#pragma once
#include "ovcore/collections/arrays/arrays.h"

namespace orvo {

// One time source the runtime clock can run on.
class runtime_timer_t {
public:
  virtual ~runtime_timer_t() = default;
  virtual bool start() = 0;
  virtual void stop() {}
  // Microseconds since the previous call; 0 when the source did not advance.
  virtual u64 elapsed() = 0;
  virtual void report() = 0;
};

// Turns readings of a counter into microseconds, carrying the remainder ticks to the next call.
class counter_elapsed_t {
public:
  void reset(u64 reading, u64 frequency);
  u64 elapsed(u64 reading);

private:
  u64 previous_ = 0;
  u64 frequency_ = 1;
  u64 remainder_ = 0;
};

namespace platform {
// The platform's timers in order of preference.
void list_runtime_timers(array_t<runtime_timer_t*>& out);
} // namespace platform

} // namespace orvo
