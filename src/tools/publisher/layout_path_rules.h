#pragma once
#include <string_view>

namespace orvo::publisher {

// Why a layout path may not be written, or null when it is a clean relative path below the
// application directory: at most 127 bytes, '/' separators, no empty, "." or ".." component,
// no backslash, colon or control character.
const char* layout_path_problem(std::string_view path);

} // namespace orvo::publisher
