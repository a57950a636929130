#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// "<abbreviation>_patch_<16 upper-case hex digits of the calendar time in seconds>.log".
bool format_log_file_name(mstring_t& out, i64 seconds);

// The work folder, else the current directory, else "."; joined with the name for the current time.
void build_log_file_path(mstring_t& out);

} // namespace orvo

#include "ovcore/memory/auto_ptr.h"
#include "ovcore/ufs/fs_file.h"

namespace orvo {

// Creates the log file, never opening one that exists: on a clash "_1", "_2", ... go before
// ".log", and path is changed to the name created. Null when no name could be created.
auto_ptr_t<file_t> create_log_file(mstring_t& path);

} // namespace orvo
