#include "tools/patcher/system_report.h"

#include "ovcore/messages/messages.h"
#include "ovcore/system/memory_status.h"

namespace orvo {

namespace {

constexpr u64 bytes_per_megabyte = 1048576;

const char* windows_nt_name(u32 major, u32 minor, bool workstation) {
  if (major == 4 && minor == 0) return "Windows NT";
  if (major == 5) {
    if (minor == 0) return "Windows 2000";
    if (minor == 1) return "Windows XP";
    if (minor == 2) return workstation ? "Windows XP 64" : "Windows Server 2003";
  }
  if (major == 6) {
    if (minor == 0) return workstation ? "Windows Vista" : "Windows Server 2008";
    if (minor == 1) return workstation ? "Windows 7" : "Windows Server 2008 R2";
    if (minor == 2) return workstation ? "Windows 8" : "Windows Server 2012";
  }
  return "Unknown Windows NT";
}

const char* windows_9x_name(u32 major, u32 minor) {
  if (major == 4) {
    if (minor == 0) return "Windows 95";
    if (minor == 10) return "Windows 98";
    if (minor == 90) return "Windows Me";
  }
  return "Unknown Windows 9x";
}

const char* system_name(const os_version_t& version) {
  if (!version.system_name.empty()) return version.system_name.c_str();
  return windows_version_name(version.platform_id, version.major, version.minor, version.workstation);
}

} // namespace

const char* windows_version_name(u32 platform_id, u32 major, u32 minor, bool workstation) {
  if (platform_id == os_platform_windows_nt) return windows_nt_name(major, minor, workstation);
  if (platform_id == os_platform_windows_9x) return windows_9x_name(major, minor);
  return "Unknown Windows platform";
}

const char* processor_architecture_name(u32 architecture) {
  switch (architecture) {
  case processor_architecture_x86: return "x86";
  case processor_architecture_arm: return "ARM";
  case processor_architecture_itanium: return "Itanium";
  case processor_architecture_x64: return "x64";
  default: return "Unknown";
  }
}

void format_os_description(mstring_t& out, const os_version_t& version) {
  out.format("%s %s (version %u.%u.%u)", system_name(version), processor_architecture_name(version.architecture),
             version.major, version.minor, version.build);
  if (!version.service_pack.empty()) out.append_format(" / %s", version.service_pack.c_str());
  if (version.starter_edition) out.append(" / Starter Edition");
  if (version.tablet_pc) out.append(" / Tablet PC or Tablet input");
}

void format_memory_report(mstring_t& out, const u64 status[4]) {
  out.format("Memory Total: %I64u MB Physical: %I64u MB Virtual total: %I64u MB Virtual avail: %I64u MB",
             status[memory_total_physical] / bytes_per_megabyte, status[memory_available_physical] / bytes_per_megabyte,
             status[memory_total_virtual] / bytes_per_megabyte, status[memory_available_virtual] / bytes_per_megabyte);
}

void write_system_report() {
  os_version_t version;
  if (!query_os_version(version)) {
    log_error("Unable to detect OS version");
    return;
  }
  string_dyn_t line;
  format_os_description(line, version);
  log_info("OS %s", line.c_str());
  u64 status[4];
  get_memory_status(status);
  format_memory_report(line, status);
  log_info("%s", line.c_str());
}

} // namespace orvo
