#include "ovcore/system/performance_counter.h"
#include "ovcore/system/processor_platform.h"

#include <sched.h>
#include <time.h>

#include <cstdio>

namespace orvo::platform {

namespace {

cpu_set_t saved_affinity;
bool affinity_saved = false;

// A number from one of the kernel's topology files of a processor.
bool read_topology_value(u32 processor, const char* name, u32& value) {
  char path[128];
  std::snprintf(path, sizeof(path), "/sys/devices/system/cpu/cpu%u/topology/%s", processor, name);
  std::FILE* file = std::fopen(path, "r");
  if (!file) return false;
  int number = -1;
  const bool read = std::fscanf(file, "%d", &number) == 1 && number >= 0;
  std::fclose(file);
  if (read) value = static_cast<u32>(number);
  return read;
}

} // namespace

bool list_processors(array_t<processor_topology_t>& out) {
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (sched_getaffinity(0, sizeof(allowed), &allowed) != 0) return false;
  for (u32 processor = 0; processor < CPU_SETSIZE; ++processor) {
    if (!CPU_ISSET(processor, &allowed)) continue;
    processor_topology_t listed;
    listed.processor_number = processor;
    listed.affinity_mask = processor < 32 ? 1u << processor : 0;
    // Without topology files each processor counts as a core of its own.
    if (!read_topology_value(processor, "core_id", listed.platform_core)) listed.platform_core = processor;
    if (!read_topology_value(processor, "physical_package_id", listed.package)) listed.package = 0;
    if (!out.push(listed)) return false;
  }
  return !out.empty();
}

u32 current_processor_number() {
  const int processor = sched_getcpu();
  return processor < 0 ? 0 : static_cast<u32>(processor);
}

bool pin_current_thread(const cpu_t& cpu) {
  if (!affinity_saved) {
    CPU_ZERO(&saved_affinity);
    if (sched_getaffinity(0, sizeof(saved_affinity), &saved_affinity) != 0) return false;
    affinity_saved = true;
  }
  cpu_set_t single;
  CPU_ZERO(&single);
  CPU_SET(cpu.processor_number, &single);
  return sched_setaffinity(0, sizeof(single), &single) == 0;
}

void restore_thread_affinity() {
  if (!affinity_saved) return;
  sched_setaffinity(0, sizeof(saved_affinity), &saved_affinity);
  affinity_saved = false;
}

u64 performance_counter_frequency() { return 1000000000ull; }

u64 performance_counter() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<u64>(now.tv_sec) * 1000000000ull + static_cast<u64>(now.tv_nsec);
}

} // namespace orvo::platform
