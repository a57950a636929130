#include "tools/patcher/argv_command_line.h"

namespace orvo {

namespace {

bool append_quoted(mstring_t& out, const char* argument) {
  if (!out.append_char('"')) return false;
  for (const char* p = argument; *p; ++p) {
    if ((*p == '"' || *p == '|') && !out.append_char('|')) return false;
    if (!out.append_char(*p)) return false;
  }
  return out.append_char('"');
}

} // namespace

bool build_command_line(mstring_t& out, int count, const char* const* arguments) {
  out.clear();
  for (int i = 0; i < count; ++i) {
    if (i > 0 && !out.append_char(' ')) return false;
    const char* argument = arguments[i];
    const bool ok = argument[0] == '-' ? out.append(argument) : append_quoted(out, argument);
    if (!ok) return false;
  }
  return true;
}

} // namespace orvo
