#include "ovcore/system/memory_status.h"

#include <windows.h>

#include <algorithm>

namespace orvo::platform {

bool query_memory_status(u64 out[4]) {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  if (!GlobalMemoryStatusEx(&status)) return false;
  out[memory_total_physical] = status.ullTotalPhys;
  // Wine's 32-bit side caps the total but not the available amount.
  out[memory_available_physical] = std::min(status.ullAvailPhys, status.ullTotalPhys);
  out[memory_total_virtual] = status.ullTotalVirtual;
  out[memory_available_virtual] = status.ullAvailVirtual;
  return true;
}

} // namespace orvo::platform
