#pragma once
#include "ovcore/types.h"

namespace orvo {

enum counter_source_t : u32 {
  counter_source_unknown = 0,
  counter_source_pit = 1,
  counter_source_rtc = 2,
  counter_source_acpi = 3,
  counter_source_tsc = 4,
  counter_source_tsc_invariant = 5,
  counter_source_hpet = 6,
};

// What drives a performance counter of that frequency; processor_khz is 0 when unknown.
counter_source_t classify_counter_source(u64 frequency_hz, u32 processor_khz);
const char* counter_source_name(counter_source_t source);

} // namespace orvo
