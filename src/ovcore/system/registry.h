#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// Read-only registry access by text path: ROOT\sub\key\value, with ROOT one of HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS (case-sensitive).
bool registry_read_string(mstring_t& out, const string& value_path);
bool registry_read_u32(u32& out, const string& value_path);

// Splits a value path at its last backslash into key path and value name.
bool registry_split_value_path(const string& value_path, mstring_t& key_path, mstring_t& value_name);

} // namespace orvo
