// Read-only registry substitute: the text file (registry_file_linux.h) named by the environment
// variable ORVO_REGISTRY_FILE (default /etc/orvo/registry.txt).
// Key paths and value names compare without regard to ASCII case, root names exactly.
#include "ovcore/system/registry_platform.h"

#include "ovcore/platform/linux/registry_file_linux.h"

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

const char* registry_file_path() {
  const char* path = std::getenv("ORVO_REGISTRY_FILE");
  return path && *path ? path : "/etc/orvo/registry.txt";
}

// Calls visit(entry) for each value line until it returns true; true when one did.
template <typename visit_t>
bool scan_registry_file(visit_t&& visit) {
  const char* file_path = registry_file_path();
  std::FILE* file = std::fopen(file_path, "r");
  if (!file) return false;
  const bool found = scan_registry_stream(file, file_path, visit);
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
