#include "ovcore/system/registry.h"

#include "ovcore/messages/messages.h"
#include "ovcore/strings/text_encoding.h"
#include "ovcore/system/registry_platform.h"

namespace orvo {

namespace {

using platform::registry_key_t;

struct registry_root_name_t {
  const char* name;
  platform::registry_root_t root;
};

constexpr registry_root_name_t root_names[] = {
    {"HKEY_CLASSES_ROOT", platform::registry_classes_root},
    {"HKEY_CURRENT_USER", platform::registry_current_user},
    {"HKEY_LOCAL_MACHINE", platform::registry_local_machine},
    {"HKEY_USERS", platform::registry_users},
};

constexpr u32 dword_size = 4;

u32 find_char(const string& text, char ch, bool last) {
  u32 found = npos32;
  const char* s = text.c_str();
  for (u32 i = 0; s[i]; ++i) {
    if (s[i] != ch) continue;
    found = i;
    if (!last) break;
  }
  return found;
}

registry_key_t open_key(const string& key_path) {
  const u32 split = find_char(key_path, '\\', false);
  string_path_t root_name;
  string_dyn_t sub_key;
  if (split == npos32 || !root_name.set_from(0, key_path, 0, split) || !sub_key.set_from(0, key_path, split + 1)) {
    log_error("[reg] Invalid registry key path '%s'.", key_path.c_str());
    return nullptr;
  }
  for (const registry_root_name_t& entry : root_names) {
    if (!string(entry.name).equals(root_name)) continue;
    registry_key_t key = platform::registry_open_key(entry.root, sub_key);
    if (!key) {
      log_error("[reg] Failed to open registry sub key '%s'.", sub_key.c_str());
      log_error("[reg] Failed to open key '%s' under tree '%s'.", sub_key.c_str(), root_name.c_str());
    }
    return key;
  }
  log_error("[reg] Registry root key name '%s' from key path '%s' did not match any known registry root.",
            root_name.c_str(), key_path.c_str());
  return nullptr;
}

void close_key(registry_key_t key) {
  if (!platform::registry_close_key(key)) log_error("[reg] Failed to close registry key.");
}

// Opens the key of a value path and names the value; null (with the reason logged) on failure.
registry_key_t open_value_key(const string& value_path, mstring_t& value_name) {
  string_dyn_t key_path;
  if (!registry_split_value_path(value_path, key_path, value_name)) return nullptr;
  return open_key(key_path);
}

bool read_string_value(registry_key_t key, const string& value_name, mstring_t& out) {
  u32 type = 0;
  u32 size = 0;
  if (!platform::registry_query_value(key, value_name, type, nullptr, size)) {
    log_error("[reg] Failed to get registry value '%s'.", value_name.c_str());
    return false;
  }
  if (type != platform::registry_type_sz) {
    log_error("[reg] Registry value '%s' had incorrect type - expected REG_SZ.", value_name.c_str());
    return false;
  }
  if (size == 0) {
    out.clear();
    return true;
  }
  if (size % 2 != 0) {
    log_error("[reg] Registry value '%s' had bad string length.", value_name.c_str());
    return false;
  }
  array_dyn_t<wchar16_t> units;
  if (!units.resize(size / 2) || !platform::registry_query_value(key, value_name, type, units.data(), size)) {
    log_error("[reg] Failed to get registry value '%s'.", value_name.c_str());
    return false;
  }
  return utf16_to_utf8(out, units.data(), size / 2);
}

bool read_u32_value(registry_key_t key, const string& value_name, u32& out) {
  u32 type = 0;
  u32 size = dword_size;
  u32 value = 0;
  if (!platform::registry_query_value(key, value_name, type, &value, size)) {
    log_error("[reg] Failed to get registry value '%s'.", value_name.c_str());
    return false;
  }
  if (type != platform::registry_type_dword) {
    log_error("[reg] Registry value '%s' had incorrect type - expected integer with size %Iu bytes.",
              value_name.c_str(), size_t{dword_size});
    return false;
  }
  if (size != dword_size) {
    log_error("[reg] Registry value '%s' had incorrect size - expected integer with size %Iu bytes.",
              value_name.c_str(), size_t{dword_size});
    return false;
  }
  out = value;
  return true;
}

} // namespace

bool registry_split_value_path(const string& value_path, mstring_t& key_path, mstring_t& value_name) {
  const u32 split = find_char(value_path, '\\', true);
  if (split == npos32 || split == 0 || split + 1 == value_path.length()) {
    log_error("[reg] Invalid value path '%s'.", value_path.c_str());
    return false;
  }
  if (!key_path.set_from(0, value_path, 0, split) || !value_name.set_from(0, value_path, split + 1)) {
    log_error("[reg] Invalid absolute value name '%s'.", value_path.c_str());
    return false;
  }
  return true;
}

bool registry_read_string(mstring_t& out, const string& value_path) {
  string_dyn_t value_name;
  registry_key_t key = open_value_key(value_path, value_name);
  if (!key) return false;
  const bool read = read_string_value(key, value_name, out);
  close_key(key);
  return read;
}

bool registry_read_u32(u32& out, const string& value_path) {
  string_dyn_t value_name;
  registry_key_t key = open_value_key(value_path, value_name);
  if (!key) return false;
  const bool read = read_u32_value(key, value_name, out);
  close_key(key);
  return read;
}

} // namespace orvo
