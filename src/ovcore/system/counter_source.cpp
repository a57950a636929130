#include "ovcore/system/counter_source.h"

namespace orvo {

namespace {

constexpr const char* source_names[] = {"unknown", "PIT 8254", "RTC", "ACPI (PM Clock)", "TSC", "TSC invariant", "HPET"};

bool within_one_percent(u64 value, u64 reference) {
  const u64 difference = value > reference ? value - reference : reference - value;
  return difference < reference / 100;
}

} // namespace

counter_source_t classify_counter_source(u64 frequency_hz, u32 processor_khz) {
  if (frequency_hz == 0) return counter_source_unknown;
  if (frequency_hz == 1193182) return counter_source_pit;
  if (frequency_hz == 3579545) return counter_source_acpi;
  if (processor_khz != 0) {
    const u64 processor_hz = static_cast<u64>(processor_khz) * 1000;
    if (within_one_percent(frequency_hz, processor_hz)) return counter_source_tsc;
    if (within_one_percent(frequency_hz, processor_hz / 1024)) return counter_source_tsc_invariant;
  }
  return frequency_hz >= 10000000 ? counter_source_hpet : counter_source_unknown;
}

const char* counter_source_name(counter_source_t source) {
  return source < sizeof(source_names) / sizeof(source_names[0]) ? source_names[source] : source_names[0];
}

} // namespace orvo
