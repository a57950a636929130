#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// Options of one run; parse_command_line only changes what the text names.
struct command_line_options_t {
  bool automatic_mode = false;
  bool transactions_allowed = true;
  string_dyn_t external_app_dir;
};

// Reads one double-quoted argument at pos; '|' escapes the next character.
bool read_quoted_parameter(mstring_t& out, const char*& pos);

// False when the command line is rejected (the reason is logged).
bool parse_command_line(const char* text, command_line_options_t& options);

} // namespace orvo
