#include "ovcore/strings/text_encoding.h"
#include "ovcore/thread/sync.h"
#include "ovcore/ufs/fs_backend.h"
#include "ovcore/ufs/fs_device.h"
#include "ovcore/ufs/fs_io_queue.h"
#include "ovcore/ufs/fs_request_pool.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <new>
#include <optional>

namespace orvo {

static_assert(sizeof(off_t) == 8, "file offsets must be 64-bit (build with _FILE_OFFSET_BITS=64)");

struct fs_native_handle_t {
  int fd;
};

} // namespace orvo

namespace orvo::platform {

namespace {

// Seconds from 1601-01-01 to 1970-01-01: file times count in 100-ns units from 1601.
constexpr u64 unix_epoch_in_file_time_seconds = 11644473600ull;

// Reads and writes run side by side, as overlapped requests do on Windows: a decoder reading its
// source while its output is written is not held up by either.
constexpr u32 transfer_thread_count = 2;

// The queue and the issued requests waiting for a transfer thread, under one lock. Transfer
// threads complete requests themselves, so a waiter is woken by the thread that did the I/O.
struct backend_t {
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t issued_or_stopped = PTHREAD_COND_INITIALIZER;
  // Issued requests in issue order, chained through their queue link.
  fs_io_request_t* head = nullptr;
  fs_io_request_t* tail = nullptr;
  bool accepting = false;
  bool stop = false;
  thread::thread_handle_t threads[transfer_thread_count] = {};
};

backend_t backend;

// Completion is observed under one lock and condition shared by all requests.
pthread_mutex_t completion_mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t completion_changed = PTHREAD_COND_INITIALIZER;

std::atomic_ref<u32> state_of(fs_io_request_t* request) { return std::atomic_ref<u32>(request->state); }

// Paths obey the same 511-unit limit as on the wide-character platforms.
bool path_fits(const string& path) {
  wide_buffer_t wide;
  return utf8_to_utf16(wide, path);
}

// Issued requests go to the transfer threads; the queue bounds how many are out at once.
// Called with the backend lock held.
class linux_issuer_t final : public fs_io_issuer_t {
public:
  bool issue(fs_io_request_t* request) override {
    request->next_queued = nullptr;
    if (backend.tail) backend.tail->next_queued = request;
    else backend.head = request;
    backend.tail = request;
    pthread_cond_signal(&backend.issued_or_stopped);
    return true;
  }

  void signal(fs_io_request_t* request) override {
    pthread_mutex_lock(&completion_mutex);
    state_of(request).store(fs_request_complete, std::memory_order_release);
    pthread_cond_broadcast(&completion_changed);
    pthread_mutex_unlock(&completion_mutex);
  }
};

linux_issuer_t issuer;
// A fresh queue for each start: a stopped queue fails whatever it is given.
std::optional<fs_io_queue_t> queue;

// Writing megabytes from user memory in one call costs several times more per byte than writing
// the same bytes in pieces that stay in the processor's cache.
constexpr u32 max_write_piece = 0x40000;

bool transfer(fs_io_request_t* request) {
  const int fd = static_cast<fs_native_handle_t*>(request->file_handle)->fd;
  u8* buffer = static_cast<u8*>(request->buffer);
  u32 done = 0;
  while (done < request->size) {
    const off_t offset = static_cast<off_t>(request->offset + done);
    const u32 left = request->size - done;
    const ssize_t n = request->type == fs_request_read
                          ? pread(fd, buffer + done, left, offset)
                          : pwrite(fd, buffer + done, left < max_write_piece ? left : max_write_piece, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<u32>(n);
  }
  return true;
}

// Runs issued requests, oldest first, until stopped with none left.
void transfer_thread_main(void*) {
  thread::set_thread_name("fs io");
  pthread_mutex_lock(&backend.mutex);
  for (;;) {
    while (!backend.head && !backend.stop) pthread_cond_wait(&backend.issued_or_stopped, &backend.mutex);
    fs_io_request_t* request = backend.head;
    if (!request) break;
    backend.head = request->next_queued;
    if (!backend.head) backend.tail = nullptr;
    pthread_mutex_unlock(&backend.mutex);
    const bool result = transfer(request);
    pthread_mutex_lock(&backend.mutex);
    queue->finish(request, result);
  }
  pthread_mutex_unlock(&backend.mutex);
}

void stop_transfer_threads() {
  pthread_mutex_lock(&backend.mutex);
  backend.stop = true;
  pthread_cond_broadcast(&backend.issued_or_stopped);
  pthread_mutex_unlock(&backend.mutex);
  for (thread::thread_handle_t& thread : backend.threads) {
    if (thread) thread::join_thread(thread);
    thread = nullptr;
  }
}

fs_io_request_t* post(fs_native_handle_t* handle, u32 type, void* buffer, u32 size, u64 offset) {
  fs_io_request_t* request = fs_request_pool().take();
  if (!request) return nullptr;
  request->file_handle = handle;
  request->buffer = buffer;
  request->size = size;
  request->offset = offset;
  request->type = type;
  state_of(request).store(fs_request_posted, std::memory_order_relaxed);
  pthread_mutex_lock(&backend.mutex);
  if (!backend.accepting) {
    pthread_mutex_unlock(&backend.mutex);
    fs_request_pool().give_back(request);
    return nullptr;
  }
  queue->accept(request);
  pthread_mutex_unlock(&backend.mutex);
  return request;
}

u32 kind_of(mode_t mode) {
  if (S_ISREG(mode)) return file_kind_file;
  if (S_ISDIR(mode)) return file_kind_directory;
  return file_kind_other;
}

void fill_info(const struct stat& status, file_info_t* info) {
  info->kind = kind_of(status.st_mode);
  info->size = static_cast<u64>(status.st_size);
  info->modification_time = (static_cast<u64>(status.st_mtim.tv_sec) + unix_epoch_in_file_time_seconds) * 10000000ull +
                            static_cast<u64>(status.st_mtim.tv_nsec) / 100;
}

// Whole-file open-file-description lock: readers share, writers exclude everyone.
bool lock_whole_file(int fd, short type) {
  struct flock lock = {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// True when a file of this layer holds the path open, which forbids deleting or replacing it.
bool held_open(const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  const bool held = fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
  close(fd);
  return held;
}

int open_flags(u32 mode) {
  switch (mode) {
  case fs_open_read_only: return O_RDONLY;
  case fs_open_create_new:
  case fs_open_create_truncate: return O_RDWR | O_CREAT | O_EXCL;
  default: return O_RDWR | O_CREAT;
  }
}

} // namespace

// Analysis keeps every installed file that will be rebuilt open until finalization: allow as
// many open files as the system lets this process have.
static void raise_open_file_limit() {
  rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}

bool fs_backend_start() {
  raise_open_file_limit();
  queue.emplace(issuer);
  backend.stop = false;
  for (thread::thread_handle_t& thread : backend.threads) {
    thread = thread::create_thread(transfer_thread_main, nullptr);
    if (thread) continue;
    stop_transfer_threads();
    return false;
  }
  pthread_mutex_lock(&backend.mutex);
  backend.accepting = true;
  pthread_mutex_unlock(&backend.mutex);
  return true;
}

// Queued requests fail; the issued ones are still transferred before the threads end.
void fs_backend_stop() {
  if (!backend.threads[0]) return;
  pthread_mutex_lock(&backend.mutex);
  backend.accepting = false;
  queue->stop();
  pthread_mutex_unlock(&backend.mutex);
  stop_transfer_threads();
  queue.reset();
}

fs_native_handle_t* fs_backend_open(const string& path, u32 mode) {
  if (mode > fs_open_always || !path_fits(path)) return nullptr;
  const char* name = path.c_str();
  if (mode == fs_open_create_truncate) {
    if (held_open(name)) return nullptr;
    unlink(name);
  }
  // Non-blocking so that opening a FIFO cannot hang before it is refused.
  const int fd = open(name, open_flags(mode) | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return nullptr;
  struct stat status;
  const bool usable = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                      lock_whole_file(fd, mode == fs_open_read_only ? F_RDLCK : F_WRLCK) &&
                      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
  fs_native_handle_t* handle = usable ? new (std::nothrow) fs_native_handle_t{fd} : nullptr;
  if (!handle) {
    close(fd);
    return nullptr;
  }
  if (mode == fs_open_read_only) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return handle;
}

void fs_backend_close(fs_native_handle_t* handle) {
  close(handle->fd);
  delete handle;
}

bool fs_backend_delete_file(const string& path) {
  if (!path_fits(path) || held_open(path.c_str())) return false;
  return unlink(path.c_str()) == 0;
}

fs_io_request_t* fs_backend_post_read(fs_native_handle_t* handle, void* buffer, u32 size, u64 offset) {
  return post(handle, fs_request_read, buffer, size, offset);
}

fs_io_request_t* fs_backend_post_write(fs_native_handle_t* handle, const void* data, u32 size, u64 offset) {
  return post(handle, fs_request_write, const_cast<void*>(data), size, offset);
}

bool fs_backend_is_done(fs_io_request_t* request) {
  return state_of(request).load(std::memory_order_acquire) == fs_request_complete;
}

bool fs_backend_wait(fs_io_request_t* request) {
  pthread_mutex_lock(&completion_mutex);
  while (state_of(request).load(std::memory_order_acquire) != fs_request_complete)
    pthread_cond_wait(&completion_changed, &completion_mutex);
  pthread_mutex_unlock(&completion_mutex);
  const bool result = request->result;
  fs_request_pool().give_back(request);
  return result;
}

void fs_backend_release(fs_io_request_t* request) { fs_backend_wait(request); }

bool fs_backend_stat_handle(fs_native_handle_t* handle, file_info_t* info) {
  struct stat status;
  if (fstat(handle->fd, &status) != 0) return false;
  fill_info(status, info);
  return true;
}

bool fs_backend_stat_path(const string& path, file_info_t* info) {
  struct stat status;
  if (!path_fits(path) || stat(path.c_str(), &status) != 0) return false;
  fill_info(status, info);
  return true;
}

bool fs_backend_create_directory(const string& path) {
  if (!path_fits(path)) return false;
  if (mkdir(path.c_str(), 0777) == 0) return true;
  struct stat status;
  return errno == EEXIST && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool fs_backend_remove_directory(const string& path) { return path_fits(path) && rmdir(path.c_str()) == 0; }

bool fs_backend_move(const string& from, const string& to, bool replace_existing) {
  if (!path_fits(from) || !path_fits(to) || held_open(from.c_str())) return false;
  if (replace_existing) return !held_open(to.c_str()) && rename(from.c_str(), to.c_str()) == 0;
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the no-replace flag: refuse a visible target, then rename.
  struct stat status;
  return lstat(to.c_str(), &status) != 0 && rename(from.c_str(), to.c_str()) == 0;
}

bool fs_backend_enumerate(const string& directory, fs_entry_visitor_t visitor, void* context) {
  if (!path_fits(directory)) return false;
  const char* folder = directory.empty() ? "." : directory.c_str();
  DIR* listing = opendir(folder);
  if (!listing) return false;
  while (const dirent* entry = readdir(listing)) {
    u32 kind = file_kind_other;
    if (entry->d_type == DT_REG) {
      kind = file_kind_file;
    } else if (entry->d_type == DT_DIR) {
      kind = file_kind_directory;
    } else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat status;
      if (fstatat(dirfd(listing), entry->d_name, &status, 0) == 0) kind = kind_of(status.st_mode);
    }
    visitor(context, entry->d_name, kind);
  }
  closedir(listing);
  return true;
}

u32 fs_backend_last_error() { return static_cast<u32>(errno); }

// Permissions of a file do not stop its directory from renaming or unlinking it.
bool fs_backend_clear_read_only(const string& path) { return path_fits(path); }

bool fs_backend_identity(const string& path, fs_identity_t* out) {
  struct stat status;
  if (!path_fits(path) || stat(path.c_str(), &status) != 0) return false;
  out->volume = static_cast<u64>(status.st_dev);
  out->object = static_cast<u64>(status.st_ino);
  return true;
}

u32 fs_backend_available_space(const string& path, u64* bytes, u32* error) {
  if (!path_fits(path)) return fs_space_unconvertible;
  struct statvfs volume;
  if (statvfs(path.c_str(), &volume) != 0) {
    *error = static_cast<u32>(errno);
    return fs_space_failed;
  }
  const u64 blocks = static_cast<u64>(volume.f_bavail);
  const u64 block_size = static_cast<u64>(volume.f_frsize);
  *bytes = block_size && blocks > ~u64(0) / block_size ? ~u64(0) - 1 : blocks * block_size;
  return fs_space_known;
}

bool fs_backend_temp_folder(mstring_t& out) {
  const char* folder = getenv("TMPDIR");
  return out.set(folder && *folder ? folder : "/tmp");
}

} // namespace orvo::platform
