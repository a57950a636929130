#pragma once
#include "ovcore/types.h"

#include <atomic>

namespace orvo::thread {

class semaphore_t;

enum : u32 {
  task_state_new = 0,
  task_state_queued = 1,
  task_state_taken = 2,
  task_state_done = 3,
};

enum : u32 {
  task_priority_highest = 0,
  task_priority_default = 2,
  task_priority_lowest = 3,
  task_priority_count = 4,
};

// A unit of work for the worker pool; the owner creates, posts and deletes it.
class pool_task_t {
public:
  virtual ~pool_task_t() = default;
  virtual void run() = 0;

  pool_task_t* next = nullptr;
  pool_task_t* previous = nullptr;
  std::atomic<u32> state{task_state_new};
  u32 priority = task_priority_default;
  std::atomic<bool> cancelled{false};
  bool on_completed_list = false;
  bool notify_on_completion = false;
  semaphore_t* waiter = nullptr;

  // The 0 -> 1 transition that must precede post_task.
  bool mark_queued() {
    u32 expected = task_state_new;
    return state.compare_exchange_strong(expected, task_state_queued);
  }
};

enum : u32 {
  worker_strategy_single = 0,
  worker_strategy_up_to_two = 1,
  worker_strategy_three_quarters = 2,
  worker_strategy_all_cores = 3,
  worker_strategy_explicit = 4,
};

inline constexpr u32 max_worker_count = 128;

// Build-time pool configuration; an explicit worker count of -1 lets the strategy decide.
extern u32 pool_worker_strategy;
extern i32 pool_explicit_worker_count;

// Started by the runtime start-up after processor detection; stopped by its shutdown.
void pool_init();
void pool_shutdown();

// Worker count of a strategy (0..3) for a number of processor cores, at most 128.
u32 worker_count_for_strategy(u32 strategy, u32 core_count);
// Sets the pool's worker count from the configuration and the processor table.
void pool_apply_worker_strategy();
u32 pool_worker_count();

void post_task(pool_task_t* task);
bool try_take_task(pool_task_t* task);
void wait_task(pool_task_t* task);
// Blocks until a task posted with notify_on_completion has finished and removes it from the completed list.
pool_task_t* wait_completed_task();

} // namespace orvo::thread
