#include "ovcore/system/ui_language.h"

#include <cstdlib>
#include <initializer_list>

namespace orvo {

u16 get_ui_language() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return language_from_locale_name(value);
  }
  return language_from_locale_name("");
}

} // namespace orvo
