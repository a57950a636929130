#include "ovcore/system/module_platform.h"

#include "ovcore/strings/text_encoding.h"

#include <windows.h>

namespace orvo::platform {

namespace {

constexpr UINT system_folder_units = 260;

} // namespace

// Only from the system folder: the updater runs elevated from a download folder, where a
// planted library of the same name must never be loaded.
void* load_library(const string& name) {
  wchar_t folder[system_folder_units];
  const UINT length = GetSystemDirectoryW(folder, system_folder_units);
  if (length == 0 || length >= system_folder_units) return nullptr;
  string_dyn_t system_folder;
  if (!utf16_to_utf8(system_folder, reinterpret_cast<const wchar16_t*>(folder), system_folder_units)) return nullptr;
  string_dyn_t path;
  path.format("%s\\%s", system_folder.c_str(), name.c_str());
  wide_buffer_t wide_path;
  if (!utf8_to_utf16(wide_path, path)) return nullptr;
  return LoadLibraryExW(reinterpret_cast<const wchar_t*>(wide_path.data()), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* find_library_function(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

} // namespace orvo::platform
