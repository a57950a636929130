#pragma once
#include "ovcore/types.h"

#include <cstdarg>

namespace orvo {

// vsnprintf that accepts the Microsoft size prefixes "I64" (64-bit) and "I" (pointer-sized).
int format_text(char* buffer, size_t size, const char* fmt, va_list args);

} // namespace orvo
