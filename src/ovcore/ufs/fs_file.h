#pragma once
#include "ovcore/strings/strings.h"
#include "ovcore/ufs/file_info.h"
#include "ovcore/ufs/fs_io_request.h"

namespace orvo {

constexpr u32 fs_read_cache_size = 8192;
// Device type of files opened through the native device.
constexpr u32 fs_native_device_type = 2;

// File object: asynchronous reads and writes at explicit offsets plus sequential access at a
// position through a small read cache. One thread uses a file at a time; requests must be
// waited for or released before the file is destroyed.
class file_t {
public:
  virtual ~file_t();
  virtual bool uses_read_cache() const = 0;
  // Null when the request cannot be started.
  virtual fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) = 0;
  virtual fs_io_request_t* io_write(const void* data, u32 size, u64 offset) = 0;
  // Never blocks.
  virtual bool is_done(fs_io_request_t* request) = 0;
  // Blocks until complete, gives the request back and returns its result.
  virtual bool wait(fs_io_request_t* request) = 0;
  // Blocks until complete and gives the request back, ignoring the result.
  virtual void release(fs_io_request_t* request) = 0;
  virtual void full_path(mstring_t& out) const;
  // A null info only asks whether the stat works.
  virtual bool stat(file_info_t* info) = 0;

  // Sequential read at the position through the read cache.
  bool read(void* buffer, u32 size);
  // Sequential write at the position; discards the read cache.
  bool write(const void* data, u32 size);
  bool file_printf(const char* format, ...);
  bool read_at(void* buffer, u32 size, u64 offset);
  // A file whose size cannot be read is a failed check.
  u64 get_size();

  const string_dyn_t& name() const { return name_; }
  u64 position() const { return position_; }
  void set_position(u64 position) { position_ = position; }
  u32 device_type() const { return device_type_; }
  void set_device_type(u32 type) { device_type_ = type; }

protected:
  explicit file_t(const string& name);
  file_t(const file_t&) = delete;
  file_t& operator=(const file_t&) = delete;

private:
  bool write_at_position(const void* data, u32 size);
  void discard_read_cache();
  bool copy_from_cache(u8*& destination, u32& size);
  bool refill_read_cache();

  string_dyn_t name_;
  u64 position_ = 0;
  u32 device_type_ = 0;
  u32 cache_fill_ = 0;
  u64 cache_offset_ = 0;
  u8* cache_ = nullptr;
};

} // namespace orvo
