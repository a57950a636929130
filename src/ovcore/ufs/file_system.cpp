#include "ovcore/ufs/file_system.h"

#include "ovcore/messages/messages.h"
#include "ovcore/ufs/fs_backend.h"
#include "ovcore/ufs/fs_cache.h"
#include "ovcore/ufs/fs_device.h"

namespace orvo {

namespace {

fs_device_t* device_for(const string& path) {
  fs_device_t* device = native_device();
  if (!device)
    log_error("[fs] unable to retrive device pointer of specified type (%d) for \"%s\"", fs_native_device_type,
              path.c_str());
  return device;
}

auto_ptr_t<file_t> open_native(const string& path, u32 mode, const char* mode_name) {
  fs_device_t* device = device_for(path);
  if (!device) return {};
  auto_ptr_t<file_t> file = device->open(path, mode);
  if (!file) {
    log_error("[fs] Failed to open file \"%s\" in the %s mode", path.c_str(), mode_name);
    return {};
  }
  file->set_device_type(fs_native_device_type);
  return file;
}

} // namespace

auto_ptr_t<file_t> open_file_read(const string& path) {
  auto_ptr_t<file_t> cached = fs_cache_open(path, fs_native_device_type);
  if (cached) return cached;
  return open_native(path, fs_open_read_only, "read_only");
}

auto_ptr_t<file_t> open_file_create_new(const string& path) {
  return open_native(path, fs_open_create_new, "create_new");
}

auto_ptr_t<file_t> open_file_create(const string& path) {
  fs_cache_drop(path);
  return open_native(path, fs_open_create_truncate, "create_truncate");
}

bool stat_path(const string& path, file_info_t* info) {
  fs_device_t* device = device_for(path);
  return device && device->stat_path(path, info);
}

bool create_directories(const string& path) {
  fs_device_t* device = device_for(path);
  return device && device->create_directories(path);
}

bool remove_directory(const string& path) {
  fs_device_t* device = device_for(path);
  return device && device->remove_directory(path);
}

bool list_directory(directory_list_t& out, const string& path, bool full_paths) {
  out.clear();
  fs_device_t* device = device_for(path);
  if (!device) return false;
  return device->list_directory(out, path, full_paths);
}

u32 last_file_error() { return platform::fs_backend_last_error(); }

bool clear_read_only(const string& path) {
  fs_device_t* device = device_for(path);
  if (!device) return false;
  string_dyn_t full;
  device->make_full_path(full, path);
  return platform::fs_backend_clear_read_only(full);
}

bool get_identity(const string& path, fs_identity_t& out) {
  fs_device_t* device = device_for(path);
  if (!device) return false;
  string_dyn_t full;
  device->make_full_path(full, path);
  return platform::fs_backend_identity(full, &out);
}

u64 get_available_space(const string& path) {
  u64 bytes = ~u64(0);
  u32 error = 0;
  switch (platform::fs_backend_available_space(path, &bytes, &error)) {
  case platform::fs_space_known: return bytes;
  case platform::fs_space_unconvertible: log_error("[ERR] Unable to convert to utf16"); break;
  default: log_error("[ERR] Unable to determine free space for '%s': %08X", path.c_str(), error); break;
  }
  return ~u64(0);
}

bool move(const string& from, const string& to, bool replace_existing) {
  fs_device_t* device = device_for(from);
  return device && device->move(from, to, replace_existing);
}

bool delete_file(const string& path) {
  fs_device_t* device = device_for(path);
  return device && device->delete_file(path);
}

bool get_temp_directory(mstring_t& out) {
  string_path_t folder;
  if (!platform::fs_backend_temp_folder(folder)) return false;
  folder.replace_char('\\', '/');
  strip_trailing_separator(folder);
  string_dyn_t work;
  work.format("%s/.ktl", folder.c_str());
  if (!create_directories(work)) return false;
  return out.set(work);
}

} // namespace orvo
