#include "ovcore/system/ui_language.h"

#include "ovcore/system/modules.h"

#include <windows.h>

namespace orvo {

namespace {

u16 query_ui_language(const char* function_name) {
  using query_t = LANGID(WINAPI*)();
  auto query = reinterpret_cast<query_t>(find_module_function(load_module_cached("kernel32.dll"), function_name));
  return query ? static_cast<u16>(query() & 0xFFFF) : 0;
}

} // namespace

u16 get_ui_language() {
  if (const u16 language = query_ui_language("GetUserDefaultUILanguage")) return language;
  if (const u16 language = query_ui_language("GetSystemDefaultUILanguage")) return language;
  if (const LANGID language = GetUserDefaultLangID()) return language;
  return GetSystemDefaultLangID();
}

} // namespace orvo
