#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/strings/strings.h"

namespace orvo {

enum : u32 {
  cpu_vendor_intel = 0,
  cpu_vendor_amd = 1,
  cpu_vendor_other = 2,
};

enum : u32 {
  cpu_feature_cmov = 1,
  cpu_feature_tsc = 2,
  cpu_feature_sse = 4,
  cpu_feature_sse2 = 8,
  cpu_feature_invariant_tsc = 16,
  cpu_feature_hyper_threading = 32,
};

// One logical processor.
struct cpu_t {
  u32 vendor_kind = cpu_vendor_other;
  string_dyn_t vendor;
  string_dyn_t brand;
  u32 frequency_khz = 0;
  u32 features = 0;
  u32 reserved = 0;
  u32 package = 0;
  u32 core = 0;
  u32 thread_index = 0;
  u32 processor_number = 0;
  u32 affinity_mask = 0;
};

// Fills the processor table; record 0 exists afterwards.
void detect_processors();
void release_processors();
const array_t<cpu_t>& processors();

// Number of records that are the first logical processor of their core.
u32 get_core_count();
// The first logical processor of a core, record 0 when there is no such core.
cpu_t* find_core_processor(u32 core);

// A logical processor as the platform lists it; core ids may repeat across packages and leave gaps.
struct processor_topology_t {
  u32 processor_number = 0;
  u32 affinity_mask = 0;
  u32 package = 0;
  u32 platform_core = 0;
};

// One record per listed processor: cores numbered from 0 by distinct (package, core id) pairs in
// order of appearance, logical processors within a core numbered from 0.
bool build_processor_records(const array_t<processor_topology_t>& topology, array_t<cpu_t>& out);

// Reads vendor, brand and feature flags of the processor the calling thread runs on.
void read_cpuid(cpu_t& cpu);

inline constexpr u32 frequency_sample_count = 7;
inline constexpr u32 frequency_sample_overflow = 1337;

// One timing sample in kHz; a value that does not fit 32 bits becomes 1337.
u32 frequency_sample_khz(u64 cycles, u64 elapsed_us);
// Mean of the samples above 80 % of the largest one; 0 when all are 0.
u32 mean_of_high_samples(const array_t<u32>& samples);
// The registry value (MHz) wins when it is within a thousandth of the measurement.
u32 choose_processor_frequency(u32 measured_khz, bool registry_known, u32 registry_mhz);

} // namespace orvo
