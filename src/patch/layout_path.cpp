#include "patch/layout_path.h"

#include <cstring>

namespace orvo::patch {

namespace {

bool is_valid_component(const char* begin, const char* end) {
  const size_t length = end - begin;
  if (length == 0) return false;
  if (length == 1 && begin[0] == '.') return false;
  return !(length == 2 && begin[0] == '.' && begin[1] == '.');
}

} // namespace

bool is_valid_layout_path(const layout_path_t& entry) {
  if (std::memcmp(entry.root, "APPL", 4) != 0) return false;
  const char* end = static_cast<const char*>(std::memchr(entry.path, 0, sizeof entry.path));
  if (!end) return false;
  const char* component = entry.path;
  for (const char* p = entry.path;; ++p) {
    if (*p == '\\' || *p == ':') return false;
    if (p == end || *p == '/') {
      if (!is_valid_component(component, p)) return false;
      if (p == end) return true;
      component = p + 1;
    }
  }
}

} // namespace orvo::patch
