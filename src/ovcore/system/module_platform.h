#pragma once
#include "ovcore/strings/strings.h"

namespace orvo::platform {

void* load_library(const string& name);
void* find_library_function(void* library, const char* name);

} // namespace orvo::platform
