#include "ovcore/strings/printf_format.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvo {

namespace {

bool is_flag_or_width(char c) { return std::strchr("-+ #0123456789.*'", c) != nullptr && c != 0; }
bool is_integer_conversion(char c) { return c != 0 && std::strchr("diouxX", c) != nullptr; }

// Rewrites "%I64d" as "%lld", "%I32d" as "%d" and "%Id" as "%zd". out holds at least 2 * strlen(fmt) + 1 bytes.
void translate(const char* fmt, char* out) {
  while (*fmt) {
    if (*fmt != '%') {
      *out++ = *fmt++;
      continue;
    }
    *out++ = *fmt++;
    if (*fmt == '%') {
      *out++ = *fmt++;
      continue;
    }
    while (is_flag_or_width(*fmt)) *out++ = *fmt++;
    if (fmt[0] == 'I' && fmt[1] == '6' && fmt[2] == '4') {
      *out++ = 'l';
      *out++ = 'l';
      fmt += 3;
    } else if (fmt[0] == 'I' && fmt[1] == '3' && fmt[2] == '2') {
      fmt += 3;
    } else if (fmt[0] == 'I' && is_integer_conversion(fmt[1])) {
      *out++ = 'z';
      fmt += 1;
    }
  }
  *out = 0;
}

} // namespace

int format_text(char* buffer, size_t size, const char* fmt, va_list args) {
  const size_t length = std::strlen(fmt);
  char local[512];
  char* translated = 2 * length + 1 <= sizeof(local) ? local : static_cast<char*>(std::malloc(2 * length + 1));
  if (!translated) return -1;
  translate(fmt, translated);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const int result = std::vsnprintf(buffer, size, translated, args);
#pragma GCC diagnostic pop
  if (translated != local) std::free(translated);
  return result;
}

} // namespace orvo
