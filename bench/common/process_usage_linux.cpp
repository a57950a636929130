#include "process_usage.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvo::bench {

double process_cpu_seconds() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

u64 peak_resident_bytes() {
  FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  u64 kib = 0;
  while (std::fgets(line, sizeof(line), status))
    if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::strtoull(line + 6, nullptr, 10);
  std::fclose(status);
  return kib << 10;
}

} // namespace orvo::bench
