#include "ovcore/system/registry_platform.h"

#include "ovcore/strings/text_encoding.h"

#include <windows.h>

namespace orvo::platform {

namespace {

HKEY root_key(registry_root_t root) {
  switch (root) {
  case registry_classes_root: return HKEY_CLASSES_ROOT;
  case registry_current_user: return HKEY_CURRENT_USER;
  case registry_local_machine: return HKEY_LOCAL_MACHINE;
  case registry_users: return HKEY_USERS;
  }
  return nullptr;
}

const wchar_t* wide(const wide_buffer_t& buffer) { return reinterpret_cast<const wchar_t*>(buffer.data()); }

} // namespace

registry_key_t registry_open_key(registry_root_t root, const string& sub_key) {
  wide_buffer_t wide_sub_key;
  if (!utf8_to_utf16(wide_sub_key, sub_key)) return nullptr;
  HKEY key = nullptr;
  if (RegOpenKeyExW(root_key(root), wide(wide_sub_key), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

bool registry_query_value(registry_key_t key, const string& value_name, u32& type, void* data, u32& size) {
  wide_buffer_t wide_name;
  if (!utf8_to_utf16(wide_name, value_name)) return false;
  DWORD value_type = 0;
  DWORD value_size = size;
  const LONG status = RegQueryValueExW(static_cast<HKEY>(key), wide(wide_name), nullptr, &value_type,
                                       static_cast<BYTE*>(data), &value_size);
  type = value_type;
  size = value_size;
  return status == ERROR_SUCCESS;
}

bool registry_close_key(registry_key_t key) { return RegCloseKey(static_cast<HKEY>(key)) == ERROR_SUCCESS; }

} // namespace orvo::platform
