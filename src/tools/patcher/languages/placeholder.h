#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

inline constexpr const char* placeholder_version = "$VERSION$";
inline constexpr const char* placeholder_space = "$SPACE$";
inline constexpr const char* placeholder_log_file = "$LOGFILE$";

// Replaces every occurrence of placeholder in text by value; false when memory runs out.
bool substitute_placeholder(mstring_t& text, const char* placeholder, const string& value);

} // namespace orvo
