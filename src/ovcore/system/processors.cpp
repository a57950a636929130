#include "ovcore/system/processors.h"

#include "ovcore/system/performance_counter.h"
#include "ovcore/system/processor_platform.h"
#include "ovcore/system/registry.h"
#include "ovcore/thread/sync.h"

#include <x86intrin.h>

namespace orvo {

namespace {

array_dyn_t<cpu_t>& table() {
  static array_dyn_t<cpu_t> records;
  return records;
}

constexpr u64 sample_span_us = 20000;

u64 counter_to_us(u64 ticks, u64 frequency) {
  return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}

u32 measure_frequency_khz() {
  const u64 frequency = platform::performance_counter_frequency();
  if (frequency == 0) return 0;
  const u64 synchronise = platform::performance_counter();
  while (platform::performance_counter() == synchronise) {
  }
  array_fixed_t<u32, frequency_sample_count> samples;
  for (u32 i = 0; i < frequency_sample_count; ++i) {
    const u64 counter_start = platform::performance_counter();
    const u64 cycles_start = __rdtsc();
    u64 elapsed_us = 0;
    while (elapsed_us < sample_span_us) elapsed_us = counter_to_us(platform::performance_counter() - counter_start, frequency);
    samples.push(frequency_sample_khz(__rdtsc() - cycles_start, elapsed_us));
  }
  return mean_of_high_samples(samples);
}

u32 processor_frequency_khz(const cpu_t& cpu) {
  const u32 measured = (cpu.features & cpu_feature_tsc) ? measure_frequency_khz() : 0;
  string_fixed_t<128> path;
  path.format("HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\%u\\~MHz", cpu.processor_number);
  u32 registry_mhz = 0;
  const bool registry_known = registry_read_u32(registry_mhz, path);
  return choose_processor_frequency(measured, registry_known, registry_mhz);
}

void list_current_processor(array_t<processor_topology_t>& topology) {
  processor_topology_t current;
  current.processor_number = platform::current_processor_number();
  current.affinity_mask = current.processor_number < 32 ? 1u << current.processor_number : 0;
  topology.clear();
  topology.push(current);
}

} // namespace

void detect_processors() {
  array_dyn_t<cpu_t>& records = table();
  records.clear();
  array_dyn_t<processor_topology_t> topology;
  if (!platform::list_processors(topology) || topology.empty()) list_current_processor(topology);
  if (!build_processor_records(topology, records) || records.empty()) {
    records.clear();
    list_current_processor(topology);
    build_processor_records(topology, records);
  }
  const cpu_t* measured = nullptr;
  for (cpu_t& cpu : records) {
    platform::pin_current_thread(cpu);
    thread::yield_thread();
    read_cpuid(cpu);
    if (!measured && cpu.core == 0 && cpu.thread_index == 0) {
      cpu.frequency_khz = processor_frequency_khz(cpu);
      measured = &cpu;
    }
  }
  platform::restore_thread_affinity();
  if (!measured) measured = &records[0];
  for (cpu_t& cpu : records) cpu.frequency_khz = measured->frequency_khz;
}

void release_processors() { table().clear(); }

const array_t<cpu_t>& processors() { return table(); }

u32 get_core_count() {
  u32 count = 0;
  for (const cpu_t& cpu : table())
    if (cpu.thread_index == 0) ++count;
  return count;
}

cpu_t* find_core_processor(u32 core) {
  array_dyn_t<cpu_t>& records = table();
  for (cpu_t& cpu : records)
    if (cpu.core == core && cpu.thread_index == 0) return &cpu;
  return &records[0];
}

bool build_processor_records(const array_t<processor_topology_t>& topology, array_t<cpu_t>& out) {
  u32 cores = 0;
  for (u32 i = 0; i < topology.size(); ++i) {
    const processor_topology_t& listed = topology[i];
    cpu_t cpu;
    cpu.processor_number = listed.processor_number;
    cpu.affinity_mask = listed.affinity_mask;
    cpu.package = listed.package;
    cpu.core = cores;
    for (u32 j = 0; j < i; ++j) {
      if (topology[j].package != listed.package || topology[j].platform_core != listed.platform_core) continue;
      if (cpu.thread_index++ == 0) cpu.core = out[j].core;
    }
    if (cpu.thread_index == 0) ++cores;
    if (!out.push_move(cpu)) return false;
  }
  return true;
}

u32 frequency_sample_khz(u64 cycles, u64 elapsed_us) {
  if (elapsed_us == 0) return frequency_sample_overflow;
  const u64 khz = cycles / elapsed_us * 1000 + cycles % elapsed_us * 1000 / elapsed_us;
  return khz > 0xFFFFFFFFu ? frequency_sample_overflow : static_cast<u32>(khz);
}

u32 mean_of_high_samples(const array_t<u32>& samples) {
  u32 largest = 0;
  for (u32 sample : samples) largest = sample > largest ? sample : largest;
  u64 sum = 0;
  u32 count = 0;
  for (u32 sample : samples) {
    if (static_cast<u64>(sample) * 5 <= static_cast<u64>(largest) * 4) continue;
    sum += sample;
    ++count;
  }
  return count == 0 ? 0 : static_cast<u32>(sum / count);
}

u32 choose_processor_frequency(u32 measured_khz, bool registry_known, u32 registry_mhz) {
  if (!registry_known) return measured_khz;
  const u64 registry_khz = static_cast<u64>(registry_mhz) * 1000;
  const u64 difference = registry_khz > measured_khz ? registry_khz - measured_khz : measured_khz - registry_khz;
  if (difference < measured_khz / 1000 && registry_khz <= 0xFFFFFFFFu) return static_cast<u32>(registry_khz);
  return measured_khz;
}

} // namespace orvo
