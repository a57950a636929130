#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

enum : u32 {
  os_platform_windows_9x = 1,
  os_platform_windows_nt = 2,
  // A system that names itself in os_version_t::system_name.
  os_platform_other = 0xFFFFFFFFu,
};

// Native processor architecture codes.
enum : u32 {
  processor_architecture_x86 = 0,
  processor_architecture_arm = 5,
  processor_architecture_itanium = 6,
  processor_architecture_x64 = 9,
  processor_architecture_unknown = 0xFFFFu,
};

// What the operating system tells about itself.
struct os_version_t {
  u32 platform_id = 0;
  u32 major = 0;
  u32 minor = 0;
  u32 build = 0;
  // Product type workstation; only known from the extended version data.
  bool workstation = false;
  // Set by systems outside the Windows version table ("Linux 6.1.0-18-amd64").
  string_fixed_t<256> system_name;
  // UTF-8; empty when there is none or it could not be converted.
  string_fixed_t<512> service_pack;
  bool starter_edition = false;
  bool tablet_pc = false;
  u32 architecture = processor_architecture_unknown;
};

// False when the system version cannot be read.
bool query_os_version(os_version_t& out);

} // namespace orvo
