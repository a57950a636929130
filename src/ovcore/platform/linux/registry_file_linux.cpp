#include "ovcore/platform/linux/registry_file_linux.h"

#include "ovcore/strings/text_encoding.h"
#include "ovcore/system/registry_platform.h"

#include <cstring>

namespace orvo::platform {

namespace {

char* trim(char* begin, char* end) {
  while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
  while (end > begin && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n')) --end;
  *end = 0;
  return begin;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool parse_hex_bytes(const char* text, array_t<u8>& out) {
  while (*text) {
    if (*text == ' ' || *text == ',') {
      ++text;
      continue;
    }
    const int high = hex_digit(text[0]);
    const int low = high < 0 ? -1 : hex_digit(text[1]);
    if (low < 0 || !out.push(static_cast<u8>(high * 16 + low))) return false;
    text += 2;
  }
  return true;
}

// Digits of the base only, at least one, and a value within 32 bits; end receives what follows.
bool parse_u32(const char* text, int base, u32& out, const char*& end) {
  u64 value = 0;
  for (end = text; hex_digit(*end) >= 0 && hex_digit(*end) < base; ++end) {
    value = value * base + hex_digit(*end);
    if (value > 0xFFFFFFFFu) return false;
  }
  out = static_cast<u32>(value);
  return end > text;
}

bool parse_dword(const char* text, array_t<u8>& out) {
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  u32 value = 0;
  const char* end = nullptr;
  if (!parse_u32(hex ? text + 2 : text, hex ? 16 : 10, value, end) || *end) return false;
  for (u32 i = 0; i < 4; ++i) out.push(static_cast<u8>(value >> (8 * i)));
  return true;
}

bool parse_sz(const char* text, array_t<u8>& out) {
  array_dyn_t<wchar16_t> units;
  if (!utf8_to_utf16(units, text)) return false;
  for (wchar16_t unit : units) {
    if (!out.push(static_cast<u8>(unit & 0xFF)) || !out.push(static_cast<u8>(unit >> 8))) return false;
  }
  return true;
}

bool parse_data(const char* text, registry_entry_t& entry) {
  if (std::strncmp(text, "sz:", 3) == 0) {
    entry.type = registry_type_sz;
    return parse_sz(text + 3, entry.data);
  }
  if (std::strncmp(text, "dword:", 6) == 0) {
    entry.type = registry_type_dword;
    return parse_dword(text + 6, entry.data);
  }
  if (std::strncmp(text, "binary:", 7) == 0) {
    entry.type = registry_type_binary;
    return parse_hex_bytes(text + 7, entry.data);
  }
  const char* end = nullptr;
  if (std::strncmp(text, "hex(", 4) != 0 || !parse_u32(text + 4, 10, entry.type, end) || std::strncmp(end, "):", 2) != 0)
    return false;
  return parse_hex_bytes(end + 2, entry.data);
}

// Splits "ROOT\key\path\value" into its three parts.
bool parse_path(const char* path, registry_entry_t& entry) {
  const char* first = std::strchr(path, '\\');
  const char* last = std::strrchr(path, '\\');
  if (!first || first == path || !last[1]) return false;
  entry.root.set_from(0, path, 0, static_cast<u32>(first - path));
  if (last > first) entry.key_path.set_from(0, path, static_cast<u32>(first - path) + 1, static_cast<u32>(last - first) - 1);
  entry.value_name.set(last + 1);
  return true;
}

} // namespace

bool parse_registry_line(char* line, registry_entry_t& entry) {
  char* equals = std::strchr(line, '=');
  if (!equals) return false;
  const char* path = trim(line, equals);
  const char* data = trim(equals + 1, equals + 1 + std::strlen(equals + 1));
  return parse_path(path, entry) && parse_data(data, entry);
}

bool is_registry_comment_or_blank(const char* line) {
  while (*line == ' ' || *line == '\t') ++line;
  return *line == 0 || *line == '\r' || *line == '\n' || *line == '#' || *line == ';';
}

} // namespace orvo::platform
