// Read-only registry substitute: a text file named by the environment variable ORVO_REGISTRY_FILE
// (default /etc/orvo/registry.txt). One value per line, "ROOT\key\path\value = type:data":
//   sz:text          UTF-8 text, returned as UTF-16 with its terminator like a Windows REG_SZ
//   dword:1234       REG_DWORD, decimal or 0x hexadecimal
//   binary:01 ab     REG_BINARY bytes in hexadecimal (spaces or commas between bytes allowed)
//   hex(N):01 ab     bytes of any type number N, as in .reg files
// Blank lines and lines starting with '#' or ';' are ignored; the path ends at the first '='.
// Key paths and value names compare without regard to ASCII case, root names exactly.
#include "ovcore/system/registry_platform.h"

#include "ovcore/messages/messages.h"
#include "ovcore/strings/text_encoding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace orvo::platform {

namespace {

constexpr const char* root_names[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

struct linux_registry_key_t {
  registry_root_t root;
  string_dyn_t sub_key;
};

struct registry_entry_t {
  string_dyn_t root;
  string_dyn_t key_path;
  string_dyn_t value_name;
  u32 type = 0;
  array_dyn_t<u8> data;
};

const char* registry_file_path() {
  const char* path = std::getenv("ORVO_REGISTRY_FILE");
  return path && *path ? path : "/etc/orvo/registry.txt";
}

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

bool parse_dword(const char* text, array_t<u8>& out) {
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text + 2 : text;
  if (*digits < '0' || *digits > '9') {
    if (!hex || hex_digit(*digits) < 0) return false;
  }
  char* end = nullptr;
  const unsigned long long value = std::strtoull(digits, &end, hex ? 16 : 10);
  if (*end || value > 0xFFFFFFFFull) return false;
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
  unsigned type = 0;
  int consumed = 0;
  if (std::sscanf(text, "hex(%u):%n", &type, &consumed) == 1 && consumed > 0) {
    entry.type = type;
    return parse_hex_bytes(text + consumed, entry.data);
  }
  return false;
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

bool parse_line(char* line, registry_entry_t& entry) {
  char* equals = std::strchr(line, '=');
  if (!equals) return false;
  const char* path = trim(line, equals);
  const char* data = trim(equals + 1, equals + 1 + std::strlen(equals + 1));
  return parse_path(path, entry) && parse_data(data, entry);
}

bool is_comment_or_blank(const char* line) {
  while (*line == ' ' || *line == '\t') ++line;
  return *line == 0 || *line == '\r' || *line == '\n' || *line == '#' || *line == ';';
}

// Calls visit(entry) for each value line until it returns true; true when one did.
template <typename visit_t>
bool scan_registry_file(visit_t&& visit) {
  const char* file_path = registry_file_path();
  std::FILE* file = std::fopen(file_path, "r");
  if (!file) return false;
  char* line = nullptr;
  size_t room = 0;
  u32 line_number = 0;
  bool found = false;
  while (!found && getline(&line, &room, file) >= 0) {
    ++line_number;
    if (is_comment_or_blank(line)) continue;
    registry_entry_t entry;
    if (!parse_line(line, entry)) {
      log_warning("[reg] Ignoring malformed line %u of '%s'.", line_number, file_path);
      continue;
    }
    found = visit(entry);
  }
  std::free(line);
  std::fclose(file);
  return found;
}

bool in_key(const registry_entry_t& entry, const linux_registry_key_t& key) {
  if (!string(entry.root).equals(root_names[key.root])) return false;
  const u32 length = key.sub_key.length();
  if (length == 0) return true;
  if (strncasecmp(entry.key_path.c_str(), key.sub_key.c_str(), length) != 0) return false;
  const char next = entry.key_path.c_str()[length];
  return next == 0 || next == '\\';
}

} // namespace

registry_key_t registry_open_key(registry_root_t root, const string& sub_key) {
  auto* key = new linux_registry_key_t{root, sub_key};
  if (scan_registry_file([key](const registry_entry_t& entry) { return in_key(entry, *key); })) return key;
  delete key;
  return nullptr;
}

bool registry_query_value(registry_key_t key, const string& value_name, u32& type, void* data, u32& size) {
  const auto* opened = static_cast<const linux_registry_key_t*>(key);
  bool fits = false;
  const bool found = scan_registry_file([&](const registry_entry_t& entry) {
    if (!string(entry.root).equals(root_names[opened->root]) ||
        strcasecmp(entry.key_path.c_str(), opened->sub_key.c_str()) != 0 ||
        strcasecmp(entry.value_name.c_str(), value_name.c_str()) != 0)
      return false;
    type = entry.type;
    fits = !data || entry.data.size() <= size;
    if (data && fits && entry.data.size() > 0) std::memcpy(data, entry.data.data(), entry.data.size());
    size = entry.data.size();
    return true;
  });
  return found && fits;
}

bool registry_close_key(registry_key_t key) {
  if (!key) return false;
  delete static_cast<linux_registry_key_t*>(key);
  return true;
}

} // namespace orvo::platform
