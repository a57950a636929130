#include "ovcore/ufs/fs_native_file.h"

#include "ovcore/ufs/fs_backend.h"
#include "ovcore/ufs/fs_device.h"

namespace orvo {

fs_native_file_t::fs_native_file_t(const string& name, fs_device_t& device, fs_native_handle_t* handle)
    : file_t(name), device_(device), handle_(handle) {}

fs_native_file_t::~fs_native_file_t() { platform::fs_backend_close(handle_); }

fs_io_request_t* fs_native_file_t::io_read(void* buffer, u32 size, u64 offset) {
  return platform::fs_backend_post_read(handle_, buffer, size, offset);
}

fs_io_request_t* fs_native_file_t::io_write(const void* data, u32 size, u64 offset) {
  return platform::fs_backend_post_write(handle_, data, size, offset);
}

bool fs_native_file_t::is_done(fs_io_request_t* request) { return platform::fs_backend_is_done(request); }
bool fs_native_file_t::wait(fs_io_request_t* request) { return platform::fs_backend_wait(request); }
void fs_native_file_t::release(fs_io_request_t* request) { platform::fs_backend_release(request); }

void fs_native_file_t::full_path(mstring_t& out) const { device_.make_full_path(out, name()); }

bool fs_native_file_t::stat(file_info_t* info) {
  if (!info) return true;
  return platform::fs_backend_stat_handle(handle_, info);
}

} // namespace orvo
