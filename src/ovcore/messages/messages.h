#pragma once
#include "ovcore/types.h"

namespace orvo {

class string;

enum : u32 {
  message_level_info = 0,
  message_level_warning = 1,
  message_level_unused = 2,
  message_level_error = 3,
};
using message_level_t = u32;

// Printf-style senders; formats accept the "I64" (64-bit) and "I" (pointer-sized) prefixes.
void log_info(const char* format, ...);
void log_warning(const char* format, ...);
void log_error(const char* format, ...);
void log_message(message_level_t level, const char* format, ...);

// Reports a broken invariant and ends the process abnormally.
[[noreturn]] void fatal_check_failed(const char* source_file, u32 line, const char* function, const char* message);

// A compiled source path as reports show it: relative to its library root (after "src/ovcore/",
// "src/ovutils/" or "src/"), or from "tests/" on; the build may record it absolute or relative.
constexpr const char* source_path_in_tree(const char* path) {
  auto starts_with = [](const char* text, const char* prefix) {
    while (*prefix)
      if (*text++ != *prefix++) return false;
    return true;
  };
  const char* found = path;
  for (const char* p = path; *p; ++p) {
    if (p != path && p[-1] != '/' && p[-1] != '\\') continue;
    if (starts_with(p, "src/ovcore/")) found = p + 11;
    else if (starts_with(p, "src/ovutils/")) found = p + 12;
    else if (starts_with(p, "src/")) found = p + 4;
    else if (starts_with(p, "tests/")) found = p;
  }
  return found;
}

using fatal_hook_t = void (*)(const char* message, const char* source_file, u32 line, const char* function);
extern fatal_hook_t fatal_hook;

} // namespace orvo

// Function name as the failed-check report shows it.
#define ORVO_FUNCTION __PRETTY_FUNCTION__

#define ORVO_CHECK(condition, message)                                                   \
  do {                                                                                    \
    if (!(condition)) ::orvo::fatal_check_failed(::orvo::source_path_in_tree(__FILE__), __LINE__, ORVO_FUNCTION, message); \
  } while (0)

// A check that reports a fixed source file and line.
#define ORVO_CHECK_AT(condition, file, line, message)                                    \
  do {                                                                                    \
    if (!(condition)) ::orvo::fatal_check_failed(file, line, ORVO_FUNCTION, message);    \
  } while (0)
