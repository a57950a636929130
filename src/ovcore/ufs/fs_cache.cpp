#include "ovcore/ufs/fs_cache.h"

#include "ovcore/messages/messages.h"
#include "ovcore/thread/sync.h"

#include <cstring>
#include <new>

namespace orvo {

// One whole-file image. An entry dropped while cached files still read it lives until the
// last of them is closed.
struct fs_cache_entry_t {
  string_dyn_t path;
  u32 device_type = 0;
  array_dyn_t<u8> image;
  u64 last_use = 0;
  u32 open_count = 0;
  bool dropped = false;
};

namespace {

// Source and line that a write to a cached file reports.
constexpr const char* fs_cache_source = "ufs/fs_cache";
constexpr u32 fs_cache_write_line = 168;

fs_clock_t cache_clock = nullptr;

// The file-system lock and the entries it guards.
thread::recursive_lock_t& fs_lock() {
  static thread::recursive_lock_t lock;
  return lock;
}

array_dyn_t<fs_cache_entry_t*>& entries() {
  static array_dyn_t<fs_cache_entry_t*> list;
  return list;
}

u32 find_entry(const string& path) {
  array_dyn_t<fs_cache_entry_t*>& list = entries();
  for (u32 i = 0; i < list.size(); ++i)
    if (string(list[i]->path).equals(path)) return i;
  return npos32;
}

// Under the file-system lock.
void drop_entry(u32 index) {
  fs_cache_entry_t* entry = entries()[index];
  entries().remove_fast(index);
  if (entry->open_count == 0) delete entry;
  else entry->dropped = true;
}

} // namespace

void fs_cache_set_clock(fs_clock_t clock) { cache_clock = clock; }

cache_file_t::cache_file_t(fs_cache_entry_t& entry) : file_t(entry.path), entry_(entry) {}

cache_file_t::~cache_file_t() {
  thread::scoped_lock_t guard(fs_lock());
  if (--entry_.open_count == 0 && entry_.dropped) delete &entry_;
}

fs_io_request_t* cache_file_t::io_read(void* buffer, u32 size, u64 offset) {
  if (size == 0 || !buffer) return fs_complete_request();
  const u64 image_size = entry_.image.size();
  if (offset > image_size || size > image_size - offset) return nullptr;
  std::memcpy(buffer, entry_.image.data() + offset, size);
  return fs_complete_request();
}

fs_io_request_t* cache_file_t::io_write(const void*, u32, u64) {
  fatal_check_failed(fs_cache_source, fs_cache_write_line, ORVO_FUNCTION, "cached files do not support write operation.");
}

bool cache_file_t::stat(file_info_t* info) {
  if (info) {
    info->kind = file_kind_file;
    info->size = entry_.image.size();
    info->modification_time = 0;
  }
  return true;
}

bool fs_cache_insert(const string& path, u32 device_type, const array_t<u8>& image) {
  fs_cache_entry_t* entry = new (std::nothrow) fs_cache_entry_t;
  if (!entry) return false;
  entry->path.set(path);
  entry->device_type = device_type;
  if (!entry->image.reserve(image.size())) {
    delete entry;
    return false;
  }
  entry->image.append_block_copy_or_abort(image);
  thread::scoped_lock_t guard(fs_lock());
  if (!entries().grow(1)) {
    delete entry;
    return false;
  }
  const u32 existing = find_entry(path);
  if (existing != npos32) drop_entry(existing);
  entries().push(entry);
  return true;
}

auto_ptr_t<file_t> fs_cache_open(const string& path, u32 device_type) {
  thread::scoped_lock_t guard(fs_lock());
  const u32 index = find_entry(path);
  if (index == npos32) return {};
  fs_cache_entry_t* entry = entries()[index];
  if (entry->device_type != device_type) return {};
  cache_file_t* file = new (std::nothrow) cache_file_t(*entry);
  if (!file) return {};
  ++entry->open_count;
  entry->last_use = cache_clock ? cache_clock() : 0;
  return auto_ptr_t<file_t>(file);
}

void fs_cache_drop(const string& path) {
  thread::scoped_lock_t guard(fs_lock());
  const u32 index = find_entry(path);
  if (index != npos32) drop_entry(index);
}

void fs_cache_clear() {
  thread::scoped_lock_t guard(fs_lock());
  while (!entries().empty()) drop_entry(entries().size() - 1);
}

} // namespace orvo
