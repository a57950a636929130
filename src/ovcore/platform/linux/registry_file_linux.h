#pragma once
// The registry substitute file read on Linux: one value per line, "ROOT\key\path\value = type:data":
//   sz:text          UTF-8 text, returned as UTF-16 with its terminator like a Windows REG_SZ
//   dword:1234       REG_DWORD, decimal or 0x hexadecimal
//   binary:01 ab     REG_BINARY bytes in hexadecimal (spaces or commas between bytes allowed)
//   hex(N):01 ab     bytes of any type number N (decimal, 32 bits), as in .reg files
// Blank lines and lines starting with '#' or ';' are ignored; the path ends at the first '='.
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/messages/messages.h"
#include "ovcore/strings/strings.h"

#include <cstdio>
#include <cstdlib>

namespace orvo::platform {

struct registry_entry_t {
  string_dyn_t root;
  string_dyn_t key_path;
  string_dyn_t value_name;
  u32 type = 0;
  array_dyn_t<u8> data;
};

bool is_registry_comment_or_blank(const char* line);
// Parses one value line (changed in place); false when it is malformed.
bool parse_registry_line(char* line, registry_entry_t& entry);

// Reads the file line by line and calls visit(entry) for each value line until it returns true;
// true when one did. Malformed lines are logged with their number and skipped.
template <typename visit_t>
bool scan_registry_stream(std::FILE* file, const char* file_path, visit_t&& visit) {
  char* line = nullptr;
  size_t room = 0;
  u32 line_number = 0;
  bool found = false;
  while (!found && getline(&line, &room, file) >= 0) {
    ++line_number;
    if (is_registry_comment_or_blank(line)) continue;
    registry_entry_t entry;
    if (!parse_registry_line(line, entry)) {
      log_warning("[reg] Ignoring malformed line %u of '%s'.", line_number, file_path);
      continue;
    }
    found = visit(entry);
  }
  std::free(line);
  return found;
}

} // namespace orvo::platform
