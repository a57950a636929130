#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/ufs/fs_file.h"

namespace orvo {

struct fs_cache_entry_t;

// Source of last-use times for cache entries (microseconds); without one the time is 0.
using fs_clock_t = u64 (*)();
void fs_cache_set_clock(fs_clock_t clock);

// Read-only file over a whole-file image held by the process-wide file cache.
class cache_file_t final : public file_t {
public:
  explicit cache_file_t(fs_cache_entry_t& entry);
  ~cache_file_t() override;
  bool uses_read_cache() const override { return false; }
  fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) override;
  // A failed check: cached files are read-only.
  fs_io_request_t* io_write(const void* data, u32 size, u64 offset) override;
  bool is_done(fs_io_request_t*) override { return true; }
  bool wait(fs_io_request_t*) override { return true; }
  void release(fs_io_request_t*) override {}
  bool stat(file_info_t* info) override;

private:
  fs_cache_entry_t& entry_;
};

// Adds (or replaces) the image of a path; the cache copies the bytes.
bool fs_cache_insert(const string& path, u32 device_type, const array_t<u8>& image);
// A new cached file for an entry of this device type and exact path, or null.
auto_ptr_t<file_t> fs_cache_open(const string& path, u32 device_type);
// Drops the entry of this path, if any.
void fs_cache_drop(const string& path);
void fs_cache_clear();

} // namespace orvo
