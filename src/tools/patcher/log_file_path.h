#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// "<abbreviation>_patch_<16 upper-case hex digits of the calendar time in seconds>.log".
bool format_log_file_name(mstring_t& out, i64 seconds);

// The work folder, else the current directory, else "."; joined with the name for the current time.
void build_log_file_path(mstring_t& out);

} // namespace orvo
