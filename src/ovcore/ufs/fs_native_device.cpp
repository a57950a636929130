#include "ovcore/ufs/fs_native_device.h"

#include "ovcore/ufs/fs_backend.h"
#include "ovcore/ufs/fs_native_file.h"

#include <cstring>
#include <new>

namespace orvo {

namespace {

struct listing_t {
  directory_list_t& out;
  const string& path;
  bool full_paths;
};

bool is_skipped_entry(const string& name, u32 kind) {
  const char* text = name.c_str();
  return std::strcmp(text, ".") == 0 || std::strcmp(text, "..") == 0 || std::strcmp(text, ".svn") == 0 ||
         kind == file_kind_other;
}

void add_entry(void* context, const string& name, u32 kind) {
  listing_t& listing = *static_cast<listing_t*>(context);
  if (is_skipped_entry(name, kind)) return;
  directory_entry_t entry;
  if (listing.full_paths) entry.name.format("%s/%s", listing.path.c_str(), name.c_str());
  else entry.name.set(name);
  entry.kind = kind;
  listing.out.push_move(entry);
}

} // namespace

auto_ptr_t<file_t> fs_native_device_t::open(const string& path, u32 mode) {
  if (mode > fs_open_always) return {};
  if (mode != fs_open_read_only && !can_write(path)) return {};
  string_dyn_t full;
  make_full_path(full, path);
  fs_native_handle_t* handle = platform::fs_backend_open(full, mode);
  if (!handle) return {};
  file_t* file = new (std::nothrow) fs_native_file_t(path, *this, handle);
  if (!file) platform::fs_backend_close(handle);
  return auto_ptr_t<file_t>(file);
}

bool fs_native_device_t::delete_file(const string& path) {
  string_dyn_t full;
  make_full_path(full, path);
  return platform::fs_backend_delete_file(full);
}

bool fs_native_device_t::stat_path(const string& path, file_info_t* info) {
  string_dyn_t full;
  make_full_path(full, path);
  file_info_t local;
  if (!platform::fs_backend_stat_path(full, info ? info : &local)) return false;
  if (info) info->device = this;
  return true;
}

void fs_native_device_t::make_full_path(mstring_t& out, const string& path) const {
  if (root_.empty()) out.set(path);
  else out.format("%s%s", root_.c_str(), path.c_str());
}

bool fs_native_device_t::create_directories(const string& path) {
  if (path.empty()) return true;
  string_dyn_t full;
  make_full_path(full, path);
  string_dyn_t prefix;
  const char* text = full.c_str();
  for (u32 i = 1; text[i] != 0; ++i) {
    if (text[i] != '/') continue;
    prefix.set_from(0, full, 0, i);
    platform::fs_backend_create_directory(prefix);
  }
  return platform::fs_backend_create_directory(full);
}

bool fs_native_device_t::remove_directory(const string& path) {
  string_dyn_t full;
  make_full_path(full, path);
  return platform::fs_backend_remove_directory(full);
}

bool fs_native_device_t::move(const string& from, const string& to, bool replace_existing) {
  string_dyn_t full_from, full_to;
  make_full_path(full_from, from);
  make_full_path(full_to, to);
  return platform::fs_backend_move(full_from, full_to, replace_existing);
}

bool fs_native_device_t::list_directory(directory_list_t& out, const string& path, bool full_paths) {
  out.clear();
  string_dyn_t full;
  make_full_path(full, path);
  listing_t listing{out, path, full_paths};
  if (platform::fs_backend_enumerate(full, add_entry, &listing)) return true;
  out.clear();
  return false;
}

bool fs_native_device_t::can_write(const string& path) {
  const char* text = path.c_str();
  const char* last = std::strrchr(text, '/');
  if (!last || last == text) return true;
  string_dyn_t folder;
  folder.set_from(0, path, 0, static_cast<u32>(last - text));
  return create_directories(folder);
}

} // namespace orvo
