#include "ovcore/system/memory_status.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

namespace orvo::platform {

namespace {

// A "Name: <n> kB" line of a /proc status file, in bytes.
bool read_kilobyte_field(const char* file_path, const char* field, u64& bytes) {
  std::FILE* file = std::fopen(file_path, "r");
  if (!file) return false;
  char line[256];
  bool found = false;
  const size_t field_length = std::strlen(field);
  while (!found && std::fgets(line, sizeof(line), file)) {
    unsigned long long kilobytes = 0;
    if (std::strncmp(line, field, field_length) == 0 && line[field_length] == ':' &&
        std::sscanf(line + field_length + 1, "%llu", &kilobytes) == 1) {
      bytes = kilobytes * 1024;
      found = true;
    }
  }
  std::fclose(file);
  return found;
}

// The address space a process may use: its limit, or the user half of the address space.
u64 address_space_size() {
  const u64 user_space = sizeof(void*) == 8 ? 0x00007FFFFFFFF000ull : 0xC0000000ull;
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < user_space)
    return limit.rlim_cur;
  return user_space;
}

} // namespace

bool query_memory_status(u64 out[4]) {
  u64 total = 0, available = 0, used_virtual = 0;
  if (!read_kilobyte_field("/proc/meminfo", "MemTotal", total) ||
      !read_kilobyte_field("/proc/meminfo", "MemAvailable", available))
    return false;
  read_kilobyte_field("/proc/self/status", "VmSize", used_virtual);
  const u64 virtual_total = address_space_size();
  out[memory_total_physical] = total;
  out[memory_available_physical] = available;
  out[memory_total_virtual] = virtual_total;
  out[memory_available_virtual] = virtual_total > used_virtual ? virtual_total - used_virtual : 0;
  return true;
}

} // namespace orvo::platform
