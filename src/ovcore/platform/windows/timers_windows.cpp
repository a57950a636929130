#include "ovcore/messages/messages.h"
#include "ovcore/system/counter_source.h"
#include "ovcore/system/modules.h"
#include "ovcore/system/performance_counter.h"
#include "ovcore/system/processors.h"
#include "ovcore/system/runtime_timer.h"

#include <windows.h>
#include <mmsystem.h>

namespace orvo::platform {

namespace {

// Extends a wrapping 32-bit millisecond count to 64 bits.
class wide_millisecond_count_t {
public:
  u64 extend(u32 reading) {
    if (reading < low_) high_ += u64{1} << 32;
    low_ = reading;
    return high_ | low_;
  }

private:
  u64 high_ = 0;
  u32 low_ = 0;
};

class qpc_timer_t final : public runtime_timer_t {
public:
  explicit qpc_timer_t(bool checked) : checked_(checked) {}
  bool start() override {
    frequency_ = performance_counter_frequency();
    if (frequency_ == 0) return false;
    if (checked_) {
      const array_t<cpu_t>& cpus = processors();
      source_ = classify_counter_source(frequency_, cpus.empty() ? 0 : cpus[0].frequency_khz);
      if (source_ == counter_source_unknown || (source_ == counter_source_tsc && cpus.size() > 1)) return false;
    }
    counter_.reset(performance_counter(), frequency_);
    return true;
  }
  u64 elapsed() override { return counter_.elapsed(performance_counter()); }
  void report() override {
    if (checked_) log_info("[sys] using QPC / %s timer, frequency %I64uHz", counter_source_name(source_), frequency_);
    else log_info("[sys] using unsafe QPC, frequency %I64uHz", frequency_);
  }

private:
  bool checked_;
  u64 frequency_ = 0;
  counter_source_t source_ = counter_source_unknown;
  counter_elapsed_t counter_;
};

class multimedia_timer_t final : public runtime_timer_t {
public:
  bool start() override {
    if (!load()) return false;
    TIMECAPS caps{};
    if (get_dev_caps_(&caps, sizeof(caps)) != TIMERR_NOERROR) return false;
    if (!period_set_) {
      period_ = caps.wPeriodMin < 1 && caps.wPeriodMax >= 1 ? 1 : caps.wPeriodMin;
      begin_period_(period_);
      period_set_ = true;
    }
    counter_.reset(ticks_.extend(get_time_()), 1000);
    return true;
  }
  void stop() override {
    if (!period_set_) return;
    end_period_(period_);
    period_set_ = false;
  }
  u64 elapsed() override { return counter_.elapsed(ticks_.extend(get_time_())); }
  void report() override { log_info("[sys] using TGT timer"); }

private:
  using get_dev_caps_t = MMRESULT(WINAPI*)(LPTIMECAPS, UINT);
  using get_time_t = DWORD(WINAPI*)();
  using period_t = MMRESULT(WINAPI*)(UINT);

  bool load() {
    module_handle_t winmm = load_module_cached("winmm.dll");
    get_dev_caps_ = reinterpret_cast<get_dev_caps_t>(find_module_function(winmm, "timeGetDevCaps"));
    get_time_ = reinterpret_cast<get_time_t>(find_module_function(winmm, "timeGetTime"));
    begin_period_ = reinterpret_cast<period_t>(find_module_function(winmm, "timeBeginPeriod"));
    end_period_ = reinterpret_cast<period_t>(find_module_function(winmm, "timeEndPeriod"));
    return get_dev_caps_ && get_time_ && begin_period_ && end_period_;
  }

  get_dev_caps_t get_dev_caps_ = nullptr;
  get_time_t get_time_ = nullptr;
  period_t begin_period_ = nullptr;
  period_t end_period_ = nullptr;
  UINT period_ = 1;
  bool period_set_ = false;
  wide_millisecond_count_t ticks_;
  counter_elapsed_t counter_;
};

class tick_count_timer_t final : public runtime_timer_t {
public:
  bool start() override {
    counter_.reset(ticks_.extend(GetTickCount()), 1000);
    return true;
  }
  u64 elapsed() override { return counter_.elapsed(ticks_.extend(GetTickCount())); }
  void report() override { log_info("[sys] using GTC timer"); }

private:
  wide_millisecond_count_t ticks_;
  counter_elapsed_t counter_;
};

class file_time_timer_t final : public runtime_timer_t {
public:
  bool start() override {
    counter_.reset(now(), 10000000);
    return true;
  }
  u64 elapsed() override { return counter_.elapsed(now()); }
  void report() override { log_info("[sys] using GSTAFT timer"); }

private:
  static u64 now() {
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    return (static_cast<u64>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  }
  counter_elapsed_t counter_;
};

} // namespace

void list_runtime_timers(array_t<runtime_timer_t*>& out) {
  static qpc_timer_t qpc(true);
  static multimedia_timer_t multimedia;
  static tick_count_timer_t tick_count;
  static file_time_timer_t file_time;
  static qpc_timer_t unsafe_qpc(false);
  out.push(&qpc);
  out.push(&multimedia);
  out.push(&tick_count);
  out.push(&file_time);
  out.push(&unsafe_qpc);
}

} // namespace orvo::platform
