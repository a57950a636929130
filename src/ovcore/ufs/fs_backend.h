#pragma once
#include "ovcore/strings/strings.h"
#include "ovcore/ufs/file_info.h"
#include "ovcore/ufs/fs_io_request.h"

namespace orvo {
struct fs_native_handle_t;
}

// The native backend behind the native device and its files; one implementation per platform.
// Paths must convert to at most 511 UTF-16 units, otherwise the operation fails unattempted.
namespace orvo::platform {

// Starts the threads that serve requests.
bool fs_backend_start();
// Stops them: requests in flight finish, queued ones complete with false.
void fs_backend_stop();

// Mode as in fs_device.h; null when the platform refuses or the name is not a disk file.
fs_native_handle_t* fs_backend_open(const string& path, u32 mode);
void fs_backend_close(fs_native_handle_t* handle);
bool fs_backend_delete_file(const string& path);

// Null when no request could be posted.
fs_io_request_t* fs_backend_post_read(fs_native_handle_t* handle, void* buffer, u32 size, u64 offset);
fs_io_request_t* fs_backend_post_write(fs_native_handle_t* handle, const void* data, u32 size, u64 offset);
bool fs_backend_is_done(fs_io_request_t* request);
bool fs_backend_wait(fs_io_request_t* request);
void fs_backend_release(fs_io_request_t* request);

bool fs_backend_stat_handle(fs_native_handle_t* handle, file_info_t* info);
bool fs_backend_stat_path(const string& path, file_info_t* info);
// True when the directory exists afterwards.
bool fs_backend_create_directory(const string& path);
bool fs_backend_remove_directory(const string& path);
bool fs_backend_move(const string& from, const string& to, bool replace_existing);

// Calls the visitor for every entry of a directory (an empty path is the current one), in
// platform order and including the special names; false when it cannot be opened.
using fs_entry_visitor_t = void (*)(void* context, const string& name, u32 kind);
bool fs_backend_enumerate(const string& directory, fs_entry_visitor_t visitor, void* context);

// The reason of the calling thread's last failed operation, as the platform numbers it.
u32 fs_backend_last_error();
// Takes the read-only attribute off a file, which would refuse its replacement or deletion;
// true when it has none.
bool fs_backend_clear_read_only(const string& path);

// Identifies a directory across the names that reach it (links, junctions).
bool fs_backend_identity(const string& path, fs_identity_t* out);

enum : u32 {
  fs_space_known = 0,
  fs_space_unconvertible = 1,
  fs_space_failed = 2,
};
// Free bytes available to the calling user on the volume of path; on fs_space_failed error
// receives the platform's error code.
u32 fs_backend_available_space(const string& path, u64* bytes, u32* error);

// The platform's temporary folder in UTF-8, as the platform reports it.
bool fs_backend_temp_folder(mstring_t& out);

} // namespace orvo::platform
