#include "tools/patcher/languages/placeholder.h"

#include <cstring>

namespace orvo {

bool substitute_placeholder(mstring_t& text, const char* placeholder, const string& value) {
  const u32 placeholder_length = static_cast<u32>(std::strlen(placeholder));
  if (placeholder_length == 0) return true;
  string_dyn_t result;
  const char* rest = text.c_str();
  while (const char* found = std::strstr(rest, placeholder)) {
    if (!result.set_from(result.length(), rest, 0, static_cast<u32>(found - rest))) return false;
    if (!result.append(value.c_str())) return false;
    rest = found + placeholder_length;
  }
  if (!result.append(rest)) return false;
  return text.set(result);
}

} // namespace orvo
