#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// Rebuilds a Windows-style command line from an argument vector (without the program name):
// arguments joined by spaces, every argument not beginning with '-' double-quoted with
// '"' and '|' escaped by '|', as read_quoted_parameter expects.
bool build_command_line(mstring_t& out, int count, const char* const* arguments);

} // namespace orvo
