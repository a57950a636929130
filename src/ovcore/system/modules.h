#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

using module_handle_t = void*;

// Loads a library once per process and keeps it loaded; null when it cannot be loaded.
module_handle_t load_module_cached(const string& name);
// An exported function of a loaded module by name; null when it has none.
void* find_module_function(module_handle_t module, const char* name);

} // namespace orvo
