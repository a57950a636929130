#include "ovcore/platform/os_version.h"

#include <cstdio>
#include <cstring>
#include <sys/utsname.h>

namespace orvo {

namespace {

u32 architecture_code(const char* machine) {
  if (std::strcmp(machine, "x86_64") == 0) return processor_architecture_x64;
  if (std::strlen(machine) == 4 && machine[0] == 'i' && std::strcmp(machine + 2, "86") == 0)
    return processor_architecture_x86;
  if (std::strncmp(machine, "arm", 3) == 0) return processor_architecture_arm;
  if (std::strcmp(machine, "ia64") == 0) return processor_architecture_itanium;
  return processor_architecture_unknown;
}

} // namespace

bool query_os_version(os_version_t& out) {
  utsname names;
  if (uname(&names) != 0) return false;
  out = os_version_t();
  out.platform_id = os_platform_other;
  out.system_name.format("%s %s", names.sysname, names.release);
  std::sscanf(names.release, "%u.%u.%u", &out.major, &out.minor, &out.build);
  out.architecture = architecture_code(names.machine);
  return true;
}

} // namespace orvo
