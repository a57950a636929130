#pragma once
#include "ovcore/thread/thread_pool.h"
#include "patch/container_pool.h"
#include "patch/file_patching_info.h"

#include <atomic>

namespace orvo {

// One long step of the update, run on the worker pool; it reports to the current page.
class pool_operation_t : public thread::pool_task_t {
public:
  explicit pool_operation_t(const patch::container_pool_t* pool);
  ~pool_operation_t() override;
  void run() override;
  bool succeeded() const { return result_ == 0; }
  bool aborted() const { return result_ == 1; }
  u32 result() const { return result_; }
  // The page asks the operation to stop; it ends with result 1 at its next progress report.
  void request_abort() { abort_requested_.store(1); }

protected:
  virtual u32 perform(const patch::container_pool_t* pool, progress_callback_t* callback) = 0;

private:
  // Forwards the step's progress to the page and answers whether to go on.
  class progress_relay_t final : public progress_callback_t {
  public:
    explicit progress_relay_t(const std::atomic<u32>& abort_requested) : abort_requested_(abort_requested) {}
    bool call(const task_progress_t& progress) override;

  private:
    const std::atomic<u32>& abort_requested_;
  };

  const patch::container_pool_t* pool_;
  std::atomic<u32> abort_requested_{0};
  progress_relay_t relay_{abort_requested_};
  u32 result_ = 0;
};

// The verified containers; null before the first verification.
patch::container_pool_t* container_pool();
// The operation started last and not yet released; null when none.
pool_operation_t* current_operation();

void start_pool_init(const void* data, u64 size);
void start_patch_analysis();
void start_patching();
// Waits for the current operation (running it here when it was never started), then destroys it.
void operation_release();
// Claims or waits for the current operation without destroying it.
void operation_wait();

bool is_patch_necessary();
u64 get_required_free_space();

// At shutdown: the analysis results and the containers.
void destroy_pool_state();

} // namespace orvo
