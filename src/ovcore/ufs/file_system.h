#pragma once
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/ufs/fs_device.h"
#include "ovcore/ufs/fs_file.h"

namespace orvo {

// The native device; null before fs_startup() and after fs_shutdown().
fs_device_t* native_device();

// Opens an existing file for reading (mode "read_only"); null on failure.
auto_ptr_t<file_t> open_file_read(const string& path);
// Creates a file anew for reading and writing (mode "create_truncate"); null on failure.
auto_ptr_t<file_t> open_file_create(const string& path);

// Creates a file that must not exist yet (mode "create_new"); null on failure.
auto_ptr_t<file_t> open_file_create_new(const string& path);
// The device operations of the native device; false when there is none.
bool stat_path(const string& path, file_info_t* info);
bool create_directories(const string& path);
bool remove_directory(const string& path);
// False (and an empty list) when the directory cannot be listed.
bool list_directory(directory_list_t& out, const string& path, bool full_paths);
// The platform's code for the calling thread's last failed file operation.
u32 last_file_error();
// Takes the read-only attribute off a file that is to be replaced or deleted.
bool clear_read_only(const string& path);
// The identity of the object the path names, links followed.
bool get_identity(const string& path, fs_identity_t& out);
// Free bytes available to the calling user on the volume of path; all ones when unknown.
u64 get_available_space(const string& path);
bool move(const string& from, const string& to, bool replace_existing);
bool delete_file(const string& path);

// The system's work folder "<temporary folder>/.ktl", created when missing.
bool get_temp_directory(mstring_t& out);

} // namespace orvo
