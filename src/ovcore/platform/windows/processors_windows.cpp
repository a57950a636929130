#include "ovcore/system/modules.h"
#include "ovcore/system/performance_counter.h"
#include "ovcore/system/processor_platform.h"

#include <windows.h>

namespace orvo::platform {

namespace {

using get_logical_processor_information_t = BOOL(WINAPI*)(PSYSTEM_LOGICAL_PROCESSOR_INFORMATION, PDWORD);

constexpr u32 mask_bits = sizeof(ULONG_PTR) * 8;

bool list_from_logical_processor_information(array_t<processor_topology_t>& out) {
  auto query = reinterpret_cast<get_logical_processor_information_t>(
      find_module_function(load_module_cached("kernel32.dll"), "GetLogicalProcessorInformation"));
  if (!query) return false;
  DWORD length = 0;
  query(nullptr, &length);
  array_dyn_t<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> entries;
  if (length == 0 || !entries.resize(length / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) + 1)) return false;
  length = entries.size() * sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION);
  if (!query(entries.data(), &length)) return false;
  const u32 count = length / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION);
  u32 core = 0;
  for (u32 i = 0; i < count; ++i) {
    if (entries[i].Relationship != RelationProcessorCore) continue;
    for (u32 bit = 0; bit < mask_bits; ++bit) {
      if (!(entries[i].ProcessorMask & (ULONG_PTR{1} << bit))) continue;
      processor_topology_t listed;
      listed.processor_number = bit;
      listed.affinity_mask = 1u << bit;
      listed.platform_core = core;
      if (!out.push(listed)) return false;
    }
    ++core;
  }
  u32 package = 0;
  for (u32 i = 0; i < count; ++i) {
    if (entries[i].Relationship != RelationProcessorPackage) continue;
    for (processor_topology_t& listed : out)
      if (entries[i].ProcessorMask & listed.affinity_mask) listed.package = package;
    ++package;
  }
  return !out.empty();
}

// One processor per reported processor, each a core of its own.
bool list_from_system_information(array_t<processor_topology_t>& out) {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  DWORD_PTR process_mask = 0, system_mask = 0;
  if (info.dwNumberOfProcessors == 0 || !GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask))
    return false;
  u32 bit = 0;
  for (u32 i = 0; i < info.dwNumberOfProcessors && i < mask_bits; ++i) {
    while (bit < mask_bits && !(process_mask & (DWORD_PTR{1} << bit))) ++bit;
    processor_topology_t listed;
    listed.processor_number = i;
    listed.affinity_mask = bit < mask_bits ? 1u << bit : 0;
    listed.platform_core = i;
    if (!out.push(listed)) return false;
    ++bit;
  }
  return !out.empty();
}

} // namespace

bool list_processors(array_t<processor_topology_t>& out) {
  if (list_from_logical_processor_information(out)) return true;
  out.clear();
  return list_from_system_information(out);
}

u32 current_processor_number() { return GetCurrentProcessorNumber(); }

bool pin_current_thread(const cpu_t& cpu) {
  return cpu.affinity_mask != 0 && SetThreadAffinityMask(GetCurrentThread(), cpu.affinity_mask) != 0;
}

void restore_thread_affinity() {
  DWORD_PTR process_mask = 0, system_mask = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask))
    SetThreadAffinityMask(GetCurrentThread(), process_mask);
}

u64 performance_counter_frequency() {
  LARGE_INTEGER frequency{};
  return QueryPerformanceFrequency(&frequency) ? static_cast<u64>(frequency.QuadPart) : 0;
}

u64 performance_counter() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return static_cast<u64>(counter.QuadPart);
}

} // namespace orvo::platform
