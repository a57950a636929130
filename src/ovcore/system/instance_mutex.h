#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// True when this process may go on as the only instance of that name; held until the process ends.
bool acquire_instance_mutex(const string& name);

// "Local\ktl.107DB1FD-EEF4-4819-992F-93FC949C5C79.<name>"
bool format_instance_mutex_name(mstring_t& out, const string& name);

} // namespace orvo
