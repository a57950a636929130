#pragma once
#include "ovcore/ufs/fs_file.h"

namespace orvo {

class fs_device_t;
struct fs_native_handle_t;

// A file of the native device; owns its platform handle and closes it on destruction.
class fs_native_file_t final : public file_t {
public:
  fs_native_file_t(const string& name, fs_device_t& device, fs_native_handle_t* handle);
  ~fs_native_file_t() override;
  bool uses_read_cache() const override { return true; }
  fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) override;
  fs_io_request_t* io_write(const void* data, u32 size, u64 offset) override;
  bool is_done(fs_io_request_t* request) override;
  bool wait(fs_io_request_t* request) override;
  void release(fs_io_request_t* request) override;
  void full_path(mstring_t& out) const override;
  bool stat(file_info_t* info) override;

private:
  fs_device_t& device_;
  fs_native_handle_t* handle_;
};

} // namespace orvo
