#include "patch/file_hash_prefetch.h"

#include "ovcore/crypto/file_hash.h"
#include "ovcore/crypto/hash_stream.h"
#include "ovcore/ufs/file_system.h"

#include <new>

namespace orvo::patch {

namespace {

// Files opened ahead of the one being taken, per worker: enough to keep every worker busy
// while bounding open handles and unused work when the analysis stops early.
constexpr u32 lookahead_per_worker = 2;

u32 status_of_hash(u32 hash_result) {
  if (hash_result == hash_stream_done) return prefetch_hashed;
  return hash_result == hash_stream_aborted ? prefetch_aborted : prefetch_read_failed;
}

} // namespace

file_hash_prefetch_t::file_hash_prefetch_t(u32 worker_count) : worker_count_(worker_count ? worker_count : 1) {}

file_hash_prefetch_t::~file_hash_prefetch_t() { stop(); }

bool file_hash_prefetch_t::queue(const string& path) {
  auto_ptr_t<job_t> job(new (std::nothrow) job_t);
  if (!job) return false;
  job->path.set(path);
  return jobs_.push_move(job);
}

bool file_hash_prefetch_t::start() {
  const u32 count = worker_count_ < jobs_.size() ? worker_count_ : jobs_.size();
  if (!workers_.reserve(count)) return false;
  for (u32 i = 0; i < count; ++i) {
    thread::thread_handle_t worker = thread::create_thread(worker_main, this);
    if (!worker) break;
    workers_.push(worker);
  }
  return !workers_.empty();
}

void file_hash_prefetch_t::stop() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (thread::thread_handle_t worker : workers_) thread::join_thread(worker);
  workers_.clear();
}

void file_hash_prefetch_t::worker_main(void* self) {
  thread::set_thread_name("hash_prefetch");
  static_cast<file_hash_prefetch_t*>(self)->work();
}

// The next job within the look-ahead window; false when stopping or when every job is claimed.
bool file_hash_prefetch_t::claim(u32& index) {
  std::unique_lock<std::mutex> lock(mutex_);
  const u32 window = lookahead_per_worker * worker_count_;
  changed_.wait(lock, [&] {
    return stopping_ || next_to_claim_ >= jobs_.size() || next_to_claim_ < next_to_take_ + window;
  });
  if (stopping_ || next_to_claim_ >= jobs_.size()) return false;
  index = next_to_claim_++;
  return true;
}

void file_hash_prefetch_t::work() {
  u32 index = 0;
  while (claim(index)) {
    job_t& job = *jobs_[index];
    {
      scoped_message_deferral_t deferral(job.messages);
      run(job);
    }
    {
      std::lock_guard<std::mutex> guard(mutex_);
      job.done = true;
    }
    changed_.notify_all();
  }
}

void file_hash_prefetch_t::run(job_t& job) {
  job.file = open_file_read(job.path);
  if (!job.file) {
    job.status = prefetch_open_failed;
    return;
  }
  auto on_progress = [&](const task_progress_t& progress) {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      job.bytes_done = progress.bytes_done;
      job.bytes_total = progress.bytes_total;
    }
    changed_.notify_all();
    return !stopping_.load();
  };
  callback_fn_t<bool, const task_progress_t&, decltype(on_progress)> callback(on_progress);
  task_progress_t progress;
  job.status = status_of_hash(compute_file_hash(job.digest, *job.file, &callback, &progress));
}

u32 file_hash_prefetch_t::take(auto_ptr_t<file_t>& file, content_hash_t& digest, progress_callback_t* callback,
                               task_progress_t& progress) {
  ORVO_CHECK(next_to_take_ < jobs_.size(), "no file left to take");
  job_t& job = *jobs_[next_to_take_];
  if (workers_.empty()) return take_here(job, file, digest, callback, progress);
  std::unique_lock<std::mutex> lock(mutex_);
  ++next_to_take_;
  changed_.notify_all();
  u64 reported = ~u64(0);
  while (!job.done) {
    if (job.bytes_done != reported) {
      reported = job.bytes_done;
      progress.bytes_done = job.bytes_done;
      progress.bytes_total = job.bytes_total;
      lock.unlock();
      const bool go_on = report_progress(callback, progress);
      lock.lock();
      if (!go_on) {
        stopping_ = true;
        changed_.notify_all();
        return prefetch_aborted;
      }
      continue;
    }
    changed_.wait(lock);
  }
  lock.unlock();
  job.messages.replay();
  if (job.status != prefetch_hashed) return job.status;
  progress.bytes_done = progress.bytes_total = job.bytes_total;
  if (!report_progress(callback, progress)) return prefetch_aborted;
  file = static_cast<auto_ptr_t<file_t>&&>(job.file);
  digest = job.digest;
  return prefetch_hashed;
}

// Without workers the caller opens and hashes the file itself.
u32 file_hash_prefetch_t::take_here(job_t& job, auto_ptr_t<file_t>& file, content_hash_t& digest,
                                    progress_callback_t* callback, task_progress_t& progress) {
  ++next_to_take_;
  file = open_file_read(job.path);
  if (!file) return prefetch_open_failed;
  return status_of_hash(compute_file_hash(digest, *file, callback, &progress));
}

} // namespace orvo::patch
