#include "process_usage.h"

#include <windows.h>
#include <psapi.h>

namespace orvo::bench {

namespace {

double seconds_of(const FILETIME& time) {
  return static_cast<double>((static_cast<u64>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
}

} // namespace

double process_cpu_seconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return seconds_of(kernel) + seconds_of(user);
}

u64 peak_resident_bytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return counters.PeakWorkingSetSize;
}

} // namespace orvo::bench
