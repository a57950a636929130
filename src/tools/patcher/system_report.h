#pragma once
#include "ovcore/platform/os_version.h"

namespace orvo {

// Name of a Windows version; the workstation flag tells client from server editions.
const char* windows_version_name(u32 platform_id, u32 major, u32 minor, bool workstation);
const char* processor_architecture_name(u32 architecture);

// "<system> <architecture> (version a.b.c)", then the service pack, Starter and Tablet parts,
// joined with " / ".
void format_os_description(mstring_t& out, const os_version_t& version);
// The memory line from total physical, available physical, total virtual and available virtual bytes.
void format_memory_report(mstring_t& out, const u64 status[4]);

// Logs the operating system and the memory of the machine.
void write_system_report();

} // namespace orvo
