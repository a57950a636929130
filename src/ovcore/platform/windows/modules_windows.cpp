#include "ovcore/system/module_platform.h"

#include "ovcore/strings/text_encoding.h"

#include <windows.h>

namespace orvo::platform {

void* load_library(const string& name) {
  wide_buffer_t wide_name;
  if (!utf8_to_utf16(wide_name, name)) return nullptr;
  return LoadLibraryW(reinterpret_cast<const wchar_t*>(wide_name.data()));
}

void* find_library_function(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

} // namespace orvo::platform
