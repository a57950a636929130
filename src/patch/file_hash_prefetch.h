#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/crypto/content_hash.h"
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/messages/message_dispatcher.h"
#include "ovcore/progress/task_progress.h"
#include "ovcore/thread/sync.h"
#include "ovcore/ufs/fs_file.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace orvo::patch {

enum : u32 {
  prefetch_hashed = 0,
  prefetch_open_failed = 1,
  prefetch_read_failed = 2,
  prefetch_aborted = 3,
};

// Opens and hashes installed files on worker threads, a bounded number of files ahead of the
// one being analysed, so that several cores hash at once. Files are taken strictly in the order
// they were queued; what a worker logged reaches the log only when its file is taken, so the log
// reads as if the files had been hashed one after another.
class file_hash_prefetch_t {
public:
  explicit file_hash_prefetch_t(u32 worker_count);
  ~file_hash_prefetch_t();
  file_hash_prefetch_t(const file_hash_prefetch_t&) = delete;
  file_hash_prefetch_t& operator=(const file_hash_prefetch_t&) = delete;

  // Queues every path before start(); false when out of memory.
  bool queue(const string& path);
  // Starts the workers; false when none could be started (take() then hashes on the caller).
  bool start();

  // The next queued file: waits for it, reporting its bytes through the callback with progress
  // (whose other fields the caller sets). On prefetch_hashed, file is the open file and digest
  // its SHA-256. Returns a prefetch_* value.
  u32 take(auto_ptr_t<file_t>& file, content_hash_t& digest, progress_callback_t* callback,
           task_progress_t& progress);

private:
  struct job_t {
    string_dyn_t path;
    u32 status = prefetch_hashed;
    bool done = false;
    u64 bytes_done = 0;
    u64 bytes_total = 0;
    auto_ptr_t<file_t> file;
    content_hash_t digest = {};
    deferred_messages_t messages;
  };

  static void worker_main(void* self);
  void work();
  void run(job_t& job);
  bool claim(u32& index);
  void stop();
  u32 take_here(job_t& job, auto_ptr_t<file_t>& file, content_hash_t& digest, progress_callback_t* callback,
                task_progress_t& progress);

  array_dyn_t<auto_ptr_t<job_t>> jobs_;
  array_dyn_t<thread::thread_handle_t> workers_;
  u32 worker_count_;
  u32 next_to_claim_ = 0;
  u32 next_to_take_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
};

} // namespace orvo::patch
