#pragma once
#include "ovcore/strings/strings.h"

namespace orvo::platform {

enum registry_root_t : u32 {
  registry_classes_root,
  registry_current_user,
  registry_local_machine,
  registry_users,
};

enum : u32 {
  registry_type_sz = 1,
  registry_type_binary = 3,
  registry_type_dword = 4,
};

using registry_key_t = void*;

// Opens a sub key for reading; null when it cannot be opened.
registry_key_t registry_open_key(registry_root_t root, const string& sub_key);
// Reads a value's type and bytes. data may be null to learn the size; on entry size is the room
// in data, on return the value's size. False when the value is missing or does not fit.
bool registry_query_value(registry_key_t key, const string& value_name, u32& type, void* data, u32& size);
bool registry_close_key(registry_key_t key);

} // namespace orvo::platform
