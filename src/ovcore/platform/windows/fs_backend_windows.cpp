#include "ovcore/strings/text_encoding.h"
#include "ovcore/thread/sync.h"
#include "ovcore/ufs/fs_backend.h"
#include "ovcore/ufs/fs_device.h"
#include "ovcore/ufs/fs_io_queue.h"
#include "ovcore/ufs/fs_request_pool.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <new>

namespace orvo {

struct fs_native_handle_t {
  HANDLE file;
};

} // namespace orvo

namespace orvo::platform {

namespace {

// Status left in the overlapped block while the platform has not finished the operation.
constexpr ULONG_PTR status_pending = 259;
constexpr u32 event_cache_capacity = 512;
constexpr DWORD temp_path_units = 256;

static_assert(sizeof(OVERLAPPED) <= sizeof(fs_io_request_t::platform_block));
static_assert(sizeof(wchar_t) == sizeof(wchar16_t));

std::atomic<HANDLE> completion_port{nullptr};
thread::thread_handle_t io_thread = nullptr;

const wchar_t* wide(const wide_buffer_t& text) { return reinterpret_cast<const wchar_t*>(text.data()); }

OVERLAPPED* overlapped_of(fs_io_request_t* request) { return reinterpret_cast<OVERLAPPED*>(request->platform_block); }

fs_io_request_t* request_of(OVERLAPPED* overlapped) {
  return reinterpret_cast<fs_io_request_t*>(reinterpret_cast<unsigned char*>(overlapped) -
                                            offsetof(fs_io_request_t, platform_block));
}

std::atomic_ref<u32> state_of(fs_io_request_t* request) { return std::atomic_ref<u32>(request->state); }

// Manual-reset completion events kept for reuse.
class event_cache_t {
public:
  HANDLE take() {
    HANDLE event = nullptr;
    {
      thread::scoped_lock_t guard(lock_);
      if (!handles_.empty()) {
        event = handles_[handles_.size() - 1];
        handles_.remove(handles_.size() - 1);
      }
    }
    if (!event) event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event) ResetEvent(event);
    return event;
  }

  void give_back(HANDLE event) {
    thread::scoped_lock_t guard(lock_);
    if (!handles_.push(event)) CloseHandle(event);
  }

  void clear() {
    thread::scoped_lock_t guard(lock_);
    for (HANDLE event : handles_) CloseHandle(event);
    handles_.clear();
  }

private:
  thread::recursive_lock_t lock_;
  array_fixed_t<HANDLE, event_cache_capacity> handles_;
};

event_cache_t& event_cache() {
  static event_cache_t cache;
  return cache;
}

fs_io_request_t* take_request() {
  fs_io_request_t* request = fs_request_pool().take();
  if (!request) return nullptr;
  request->event = event_cache().take();
  if (!request->event) {
    fs_request_pool().give_back(request);
    return nullptr;
  }
  return request;
}

void give_back_request(fs_io_request_t* request) {
  event_cache().give_back(request->event);
  fs_request_pool().give_back(request);
}

void signal_complete(fs_io_request_t* request) {
  HANDLE event = request->event;
  state_of(request).store(fs_request_complete, std::memory_order_release);
  SetEvent(event);
}

class windows_issuer_t final : public fs_io_issuer_t {
public:
  bool issue(fs_io_request_t* request) override {
    const BOOL started = request->type == fs_request_read
                             ? ReadFile(request->file_handle, request->buffer, request->size, nullptr,
                                        overlapped_of(request))
                             : WriteFile(request->file_handle, request->buffer, request->size, nullptr,
                                         overlapped_of(request));
    return started || GetLastError() == ERROR_IO_PENDING;
  }
  void signal(fs_io_request_t* request) override { signal_complete(request); }
};

// Serves the completion port: new requests enter the queue, finished operations complete.
// On the stop signal queued requests fail and the thread ends once nothing is in flight.
void io_thread_main(void* port_argument) {
  thread::set_thread_name("fs io");
  const HANDLE port = static_cast<HANDLE>(port_argument);
  windows_issuer_t issuer;
  fs_io_queue_t queue(issuer);
  bool stopping = false;
  while (!stopping || queue.in_flight() != 0) {
    DWORD bytes = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* overlapped = nullptr;
    const BOOL ok = GetQueuedCompletionStatus(port, &bytes, &key, &overlapped, INFINITE);
    if (!overlapped) {
      if (!ok) break;
      if (bytes == 0 && key == 0) {
        stopping = true;
        queue.stop();
      }
      continue;
    }
    fs_io_request_t* request = request_of(overlapped);
    if (state_of(request).load(std::memory_order_relaxed) == fs_request_posted) {
      queue.accept(request);
    } else {
      const bool result = ok && overlapped->Internal != status_pending && bytes == request->size;
      queue.finish(request, result);
    }
  }
}

// Fails requests whose packets reached the port after the I/O thread ended.
void fail_late_requests(HANDLE port) {
  DWORD bytes = 0;
  ULONG_PTR key = 0;
  OVERLAPPED* overlapped = nullptr;
  while (GetQueuedCompletionStatus(port, &bytes, &key, &overlapped, 0) || overlapped) {
    if (overlapped) {
      fs_io_request_t* request = request_of(overlapped);
      request->result = false;
      signal_complete(request);
    }
    overlapped = nullptr;
  }
}

fs_io_request_t* post(fs_native_handle_t* handle, u32 type, void* buffer, u32 size, u64 offset) {
  const HANDLE port = completion_port.load();
  if (!port) return nullptr;
  fs_io_request_t* request = take_request();
  if (!request) return nullptr;
  request->file_handle = handle->file;
  request->buffer = buffer;
  request->size = size;
  request->offset = offset;
  request->type = type;
  OVERLAPPED* overlapped = overlapped_of(request);
  *overlapped = OVERLAPPED{};
  overlapped->Offset = static_cast<DWORD>(offset);
  overlapped->OffsetHigh = static_cast<DWORD>(offset >> 32);
  state_of(request).store(fs_request_posted, std::memory_order_relaxed);
  if (!PostQueuedCompletionStatus(port, 0, 0, overlapped)) {
    give_back_request(request);
    return nullptr;
  }
  return request;
}

// Whatever is not a directory is a file, whichever attribute bits it carries (a file whose only
// attribute is read-only is still a game file).
u32 kind_of(DWORD attributes) {
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? file_kind_directory : file_kind_file;
}

u64 join_u32(DWORD high, DWORD low) { return static_cast<u64>(high) << 32 | low; }

struct open_mode_t {
  DWORD access;
  DWORD disposition;
  DWORD flags;
};

constexpr open_mode_t open_modes[] = {
    {GENERIC_READ, OPEN_EXISTING, FILE_FLAG_OVERLAPPED | FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL},
    {GENERIC_READ | GENERIC_WRITE, CREATE_NEW, FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL},
    {GENERIC_READ | GENERIC_WRITE, CREATE_NEW, FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL},
    {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL},
};

} // namespace

bool fs_backend_start() {
  const HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  if (!port) return false;
  io_thread = thread::create_thread(io_thread_main, port);
  if (!io_thread) {
    CloseHandle(port);
    return false;
  }
  SetThreadPriority(static_cast<HANDLE>(io_thread), THREAD_PRIORITY_HIGHEST);
  completion_port.store(port);
  return true;
}

void fs_backend_stop() {
  const HANDLE port = completion_port.exchange(nullptr);
  if (!port) return;
  PostQueuedCompletionStatus(port, 0, 0, nullptr);
  thread::join_thread(io_thread);
  io_thread = nullptr;
  fail_late_requests(port);
  CloseHandle(port);
  event_cache().clear();
}

fs_native_handle_t* fs_backend_open(const string& path, u32 mode) {
  wide_buffer_t name;
  if (mode > fs_open_always || !utf8_to_utf16(name, path)) return nullptr;
  const HANDLE port = completion_port.load();
  if (!port) return nullptr;
  if (mode == fs_open_create_truncate) DeleteFileW(wide(name));
  const open_mode_t& table = open_modes[mode];
  const HANDLE file =
      CreateFileW(wide(name), table.access, FILE_SHARE_READ, nullptr, table.disposition, table.flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  fs_native_handle_t* handle = nullptr;
  if (GetFileType(file) == FILE_TYPE_DISK && CreateIoCompletionPort(file, port, 0, 0))
    handle = new (std::nothrow) fs_native_handle_t{file};
  if (!handle) CloseHandle(file);
  return handle;
}

void fs_backend_close(fs_native_handle_t* handle) {
  CloseHandle(handle->file);
  delete handle;
}

bool fs_backend_delete_file(const string& path) {
  wide_buffer_t name;
  return utf8_to_utf16(name, path) && DeleteFileW(wide(name));
}

fs_io_request_t* fs_backend_post_read(fs_native_handle_t* handle, void* buffer, u32 size, u64 offset) {
  return post(handle, fs_request_read, buffer, size, offset);
}

fs_io_request_t* fs_backend_post_write(fs_native_handle_t* handle, const void* data, u32 size, u64 offset) {
  return post(handle, fs_request_write, const_cast<void*>(data), size, offset);
}

bool fs_backend_is_done(fs_io_request_t* request) { return WaitForSingleObject(request->event, 0) == WAIT_OBJECT_0; }

bool fs_backend_wait(fs_io_request_t* request) {
  WaitForSingleObject(request->event, INFINITE);
  const bool result = request->result;
  give_back_request(request);
  return result;
}

void fs_backend_release(fs_io_request_t* request) { fs_backend_wait(request); }

bool fs_backend_stat_handle(fs_native_handle_t* handle, file_info_t* info) {
  BY_HANDLE_FILE_INFORMATION data;
  if (!GetFileInformationByHandle(handle->file, &data)) return false;
  info->kind = kind_of(data.dwFileAttributes);
  info->size = join_u32(data.nFileSizeHigh, data.nFileSizeLow);
  info->modification_time = join_u32(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
  return true;
}

bool fs_backend_stat_path(const string& path, file_info_t* info) {
  wide_buffer_t name;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!utf8_to_utf16(name, path) || !GetFileAttributesExW(wide(name), GetFileExInfoStandard, &data)) return false;
  info->kind = kind_of(data.dwFileAttributes);
  info->size = join_u32(data.nFileSizeHigh, data.nFileSizeLow);
  info->modification_time = join_u32(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
  return true;
}

bool fs_backend_create_directory(const string& path) {
  wide_buffer_t name;
  if (!utf8_to_utf16(name, path)) return false;
  if (CreateDirectoryW(wide(name), nullptr)) return true;
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  const DWORD attributes = GetFileAttributesW(wide(name));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fs_backend_remove_directory(const string& path) {
  wide_buffer_t name;
  return utf8_to_utf16(name, path) && RemoveDirectoryW(wide(name));
}

bool fs_backend_move(const string& from, const string& to, bool replace_existing) {
  wide_buffer_t source, target;
  if (!utf8_to_utf16(source, from) || !utf8_to_utf16(target, to)) return false;
  return MoveFileExW(wide(source), wide(target), replace_existing ? MOVEFILE_REPLACE_EXISTING : 0);
}

bool fs_backend_enumerate(const string& directory, fs_entry_visitor_t visitor, void* context) {
  string_dyn_t pattern;
  if (directory.empty()) pattern.set("*");
  else pattern.format("%s/*", directory.c_str());
  wide_buffer_t wide_pattern;
  if (!utf8_to_utf16(wide_pattern, pattern)) return false;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(wide(wide_pattern), &entry);
  // A volume's empty root directory has no entries at all, not even "." and "..".
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  string_dyn_t name;
  do {
    if (utf16_to_utf8(name, reinterpret_cast<const wchar16_t*>(entry.cFileName), 512))
      visitor(context, name, kind_of(entry.dwFileAttributes));
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return true;
}

u32 fs_backend_last_error() { return GetLastError(); }

bool fs_backend_clear_read_only(const string& path) {
  wide_buffer_t name;
  if (!utf8_to_utf16(name, path)) return false;
  const DWORD attributes = GetFileAttributesW(wide(name));
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return true;
  const DWORD cleared = attributes & ~FILE_ATTRIBUTE_READONLY;
  return SetFileAttributesW(wide(name), cleared ? cleared : FILE_ATTRIBUTE_NORMAL);
}

bool fs_backend_identity(const string& path, fs_identity_t* out) {
  wide_buffer_t name;
  if (!utf8_to_utf16(name, path)) return false;
  // Backup semantics open directories; a link or junction is followed to its target.
  const HANDLE object = CreateFileW(wide(name), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (object == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION data;
  const bool known = GetFileInformationByHandle(object, &data);
  CloseHandle(object);
  if (!known) return false;
  out->volume = data.dwVolumeSerialNumber;
  out->object = join_u32(data.nFileIndexHigh, data.nFileIndexLow);
  return true;
}

u32 fs_backend_available_space(const string& path, u64* bytes, u32* error) {
  wide_buffer_t name;
  if (!utf8_to_utf16(name, path)) return fs_space_unconvertible;
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(wide(name), &available, nullptr, nullptr)) {
    *error = GetLastError();
    return fs_space_failed;
  }
  *bytes = available.QuadPart;
  return fs_space_known;
}

bool fs_backend_temp_folder(mstring_t& out) {
  wchar_t folder[temp_path_units];
  DWORD length = GetTempPathW(temp_path_units, folder);
  if (length == 0 || length >= temp_path_units) return false;
  wchar_t long_folder[temp_path_units];
  length = GetLongPathNameW(folder, long_folder, temp_path_units);
  const wchar_t* chosen = length != 0 && length < temp_path_units ? long_folder : folder;
  return utf16_to_utf8(out, reinterpret_cast<const wchar16_t*>(chosen), temp_path_units);
}

} // namespace orvo::platform
