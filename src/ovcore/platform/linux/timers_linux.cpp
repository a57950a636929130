#include "ovcore/messages/messages.h"
#include "ovcore/system/performance_counter.h"
#include "ovcore/system/runtime_timer.h"

namespace orvo::platform {

namespace {

// CLOCK_MONOTONIC: never set back, not slewed backwards.
class monotonic_timer_t final : public runtime_timer_t {
public:
  bool start() override {
    counter_.reset(performance_counter(), performance_counter_frequency());
    return true;
  }
  u64 elapsed() override { return counter_.elapsed(performance_counter()); }
  void report() override {
    log_info("[sys] using MONOTONIC timer, frequency %I64uHz", performance_counter_frequency());
  }

private:
  counter_elapsed_t counter_;
};

} // namespace

void list_runtime_timers(array_t<runtime_timer_t*>& out) {
  static monotonic_timer_t monotonic;
  out.push(&monotonic);
}

} // namespace orvo::platform
