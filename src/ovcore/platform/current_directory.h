#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// The process's current directory in UTF-8; false when it cannot be read or converted.
bool get_current_directory(mstring_t& out);

} // namespace orvo
