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

using fatal_hook_t = void (*)(const char* message, const char* source_file, u32 line, const char* function);
extern fatal_hook_t fatal_hook;

} // namespace orvo

// Function name as the failed-check report shows it.
#define ORVO_FUNCTION __PRETTY_FUNCTION__

#define ORVO_CHECK(condition, message)                                                   \
  do {                                                                                    \
    if (!(condition)) ::orvo::fatal_check_failed(__FILE__, __LINE__, ORVO_FUNCTION, message); \
  } while (0)

// A check that reports a fixed source file and line.
#define ORVO_CHECK_AT(condition, file, line, message)                                    \
  do {                                                                                    \
    if (!(condition)) ::orvo::fatal_check_failed(file, line, ORVO_FUNCTION, message);    \
  } while (0)
