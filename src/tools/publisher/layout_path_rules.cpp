#include "tools/publisher/layout_path_rules.h"

#include "patch/layout_path.h"

namespace orvo::publisher {

const char* layout_path_problem(std::string_view path) {
  if (path.empty()) return "is empty";
  if (path.size() >= sizeof(patch::layout_path_t::path)) return "is longer than 127 bytes";
  for (char ch : path) {
    if (static_cast<unsigned char>(ch) < 0x20) return "contains a control character";
    if (ch == '\\') return "contains a backslash";
    if (ch == ':') return "contains a colon";
  }
  if (path.front() == '/') return "is absolute";
  size_t start = 0;
  for (;;) {
    const size_t end = path.find('/', start);
    const std::string_view part = path.substr(start, end == std::string_view::npos ? path.npos : end - start);
    if (part.empty()) return "has an empty component";
    if (part == "." || part == "..") return "has a '.' or '..' component";
    if (end == std::string_view::npos) return nullptr;
    start = end + 1;
  }
}

} // namespace orvo::publisher
