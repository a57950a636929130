#include "tools/patcher/command_line.h"

#include "ovcore/messages/messages.h"

#include <cctype>
#include <cstring>

namespace orvo {

namespace {

bool is_space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

void skip_spaces(const char*& pos) {
  while (*pos && is_space(*pos)) ++pos;
}

// True when pos starts with the option word standing alone; advances past it.
bool take_option(const char*& pos, const char* word) {
  const size_t n = std::strlen(word);
  if (std::strncmp(pos, word, n) != 0) return false;
  if (pos[n] != 0 && !is_space(pos[n])) return false;
  pos += n;
  return true;
}

} // namespace

bool read_quoted_parameter(mstring_t& out, const char*& pos) {
  const char* p = pos;
  skip_spaces(p);
  if (*p != '"') return false;
  ++p;
  out.clear();
  for (;;) {
    char c = *p;
    if (c == 0) return false;
    if (c == '"') break;
    if (c == '|') {
      c = *++p;
      if (c == 0) return false;
    }
    if (!out.append_char(c)) return false;
    ++p;
  }
  pos = p + 1;
  return true;
}

bool parse_command_line(const char* text, command_line_options_t& options) {
  const char* pos = text;
  for (;;) {
    skip_spaces(pos);
    if (*pos == 0) return true;
    if (take_option(pos, "-notransactions")) {
      options.transactions_allowed = false;
    } else if (take_option(pos, "-automatic")) {
      options.automatic_mode = true;
    } else if (take_option(pos, "-appdir")) {
      string_dyn_t value;
      if (!read_quoted_parameter(value, pos)) {
        log_info("[ERR] Parameter -appdir requires one quoted parameter");
        return false;
      }
      options.external_app_dir = static_cast<string_dyn_t&&>(value);
    } else {
      log_info("[ERR] Unknown parameter '%s'", pos);
      return false;
    }
  }
}

} // namespace orvo
