#include "ovcore/system/module_platform.h"

#include <dlfcn.h>

namespace orvo::platform {

void* load_library(const string& name) { return dlopen(name.c_str(), RTLD_NOW); }

void* find_library_function(void* library, const char* name) { return dlsym(library, name); }

} // namespace orvo::platform
