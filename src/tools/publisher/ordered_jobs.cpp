#include "tools/publisher/ordered_jobs.h"

#include "ovcore/messages/messages.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace orvo::publisher {

namespace {

enum class job_state_t : u8 { pending, done, failed };

class ordered_jobs_t {
public:
  ordered_jobs_t(u64 count, const std::function<bool(u64)>& work) : states_(count, job_state_t::pending), work_(work) {}

  void work_loop();
  // Waits for job i; false when it failed.
  bool wait(u64 i);
  void stop() { stopped_ = true; }

private:
  bool run(u64 i);

  std::vector<job_state_t> states_;
  const std::function<bool(u64)>& work_;
  std::atomic<u64> next_{0};
  std::atomic<bool> stopped_{false};
  std::mutex lock_;
  std::condition_variable finished_;
};

bool ordered_jobs_t::run(u64 i) {
  try {
    return work_(i);
  } catch (const std::exception& error) {
    log_error("[ERR] Unexpected failure: %s", error.what());
    return false;
  }
}

void ordered_jobs_t::work_loop() {
  while (!stopped_) {
    const u64 i = next_++;
    if (i >= states_.size()) return;
    const job_state_t state = run(i) ? job_state_t::done : job_state_t::failed;
    std::lock_guard<std::mutex> guard(lock_);
    states_[i] = state;
    finished_.notify_all();
  }
}

bool ordered_jobs_t::wait(u64 i) {
  std::unique_lock<std::mutex> guard(lock_);
  finished_.wait(guard, [&] { return states_[i] != job_state_t::pending; });
  return states_[i] == job_state_t::done;
}

} // namespace

bool run_ordered_jobs(u64 count, u32 threads, const std::function<bool(u64)>& work,
                      const std::function<bool(u64)>& consume) {
  ordered_jobs_t jobs(count, work);
  std::vector<std::thread> workers;
  for (u32 i = 0; i < (threads ? threads : 1) && i < count; ++i) workers.emplace_back([&] { jobs.work_loop(); });
  bool ok = true;
  for (u64 i = 0; ok && i < count; ++i) ok = jobs.wait(i) && consume(i);
  jobs.stop();
  for (std::thread& worker : workers) worker.join();
  return ok;
}

u32 default_job_count() {
  const unsigned processors = std::thread::hardware_concurrency();
  return processors ? processors : 1;
}

} // namespace orvo::publisher
