#include "ovcore/thread/thread_pool.h"

#include "ovcore/messages/messages.h"
#include "ovcore/strings/strings.h"
#include "ovcore/system/processors.h"
#include "ovcore/thread/sync.h"

namespace orvo::thread {

u32 pool_worker_strategy = worker_strategy_three_quarters;
i32 pool_explicit_worker_count = -1;

namespace {

// First-in first-out list linked through the tasks' own link words.
struct task_queue_t {
  pool_task_t* head = nullptr;
  pool_task_t* tail = nullptr;

  void append(pool_task_t* task) {
    task->next = nullptr;
    task->previous = tail;
    if (tail) tail->next = task;
    else head = task;
    tail = task;
  }
  void unlink(pool_task_t* task) {
    if (task->previous) task->previous->next = task->next;
    else head = task->next;
    if (task->next) task->next->previous = task->previous;
    else tail = task->previous;
    task->next = task->previous = nullptr;
  }
  pool_task_t* take_first() {
    pool_task_t* task = head;
    if (task) unlink(task);
    return task;
  }
};

struct pool_t {
  task_queue_t queues[task_priority_count];
  std::atomic<u32> queued_count{0};
  recursive_lock_t queue_lock;
  semaphore_t work_semaphore;
  semaphore_t completion_semaphore;
  semaphore_t wait_semaphore;
  recursive_lock_t completion_lock;
  recursive_lock_t waiter_lock;
  task_queue_t completed;
  recursive_lock_t completed_lock;
  u32 worker_count = 0;
  u32 strategy = worker_strategy_three_quarters;
  thread_handle_t workers[max_worker_count] = {};
  bool active = false;
  std::atomic<bool> stop{false};
};

pool_t& pool() {
  static pool_t instance;
  return instance;
}

u32 queue_index(const pool_task_t* task) {
  return task->priority < task_priority_count ? task->priority : task_priority_lowest;
}

pool_task_t* take_next_task() {
  pool_t& p = pool();
  scoped_lock_t guard(p.queue_lock);
  for (task_queue_t& queue : p.queues) {
    pool_task_t* task = queue.take_first();
    if (!task) continue;
    p.queued_count.fetch_sub(1);
    task->state.store(task_state_taken);
    return task;
  }
  return nullptr;
}

void run_unless_cancelled(pool_task_t* task) {
  if (!task->cancelled.load()) task->run();
}

// Publishes the end of a task run by a worker; the task is not touched after its state becomes 3.
void finish_task(pool_task_t* task) {
  pool_t& p = pool();
  scoped_lock_t guard(p.completion_lock);
  semaphore_t* waiter = task->waiter;
  const bool notify = task->notify_on_completion;
  if (notify) {
    scoped_lock_t list_guard(p.completed_lock);
    p.completed.append(task);
    task->on_completed_list = true;
  }
  task->state.store(task_state_done);
  if (notify) p.completion_semaphore.release();
  if (waiter) waiter->release();
}

void worker_main(void* argument) {
  pool_t& p = pool();
  const size_t index = static_cast<thread_handle_t*>(argument) - p.workers;
  string_short_t name;
  name.format("pool %Iu", index);
  set_thread_name(name.c_str());
  for (;;) {
    p.work_semaphore.wait();
    if (p.stop.load()) return;
    pool_task_t* task = take_next_task();
    if (!task) continue;
    run_unless_cancelled(task);
    finish_task(task);
  }
}

// Tasks left queued at shutdown are not run; the queues forget them so their owners may delete them.
void drop_queued_tasks() {
  pool_t& p = pool();
  scoped_lock_t guard(p.queue_lock);
  for (task_queue_t& queue : p.queues)
    while (queue.take_first()) p.queued_count.fetch_sub(1);
}

void start_workers() {
  pool_t& p = pool();
  for (u32 i = 0; i < p.worker_count; ++i) {
    p.workers[i] = create_thread(worker_main, &p.workers[i]);
    if (!p.workers[i] || p.strategy == worker_strategy_explicit) continue;
    const cpu_t* cpu = find_core_processor(p.worker_count - 1 - i);
    set_thread_ideal_processor(p.workers[i], cpu->processor_number);
  }
}

} // namespace

u32 worker_count_for_strategy(u32 strategy, u32 core_count) {
  u32 count = 0;
  switch (strategy) {
  case worker_strategy_single: count = 1; break;
  case worker_strategy_up_to_two: count = (core_count + 1) / 2 < 2 ? (core_count + 1) / 2 : 2; break;
  case worker_strategy_three_quarters: count = 3 * core_count / 4 > 1 ? 3 * core_count / 4 : 1; break;
  case worker_strategy_all_cores: count = core_count; break;
  default: fatal_check_failed("thread\\thread_pool", 534, ORVO_FUNCTION, "Unknown worker strategy selected.");
  }
  return count < max_worker_count ? count : max_worker_count;
}

void pool_apply_worker_strategy() {
  pool_t& p = pool();
  if (pool_explicit_worker_count != -1) {
    const u32 explicit_count = pool_explicit_worker_count < 0 ? 0u : static_cast<u32>(pool_explicit_worker_count);
    p.worker_count = explicit_count < max_worker_count ? explicit_count : max_worker_count;
    p.strategy = worker_strategy_explicit;
    return;
  }
  p.strategy = pool_worker_strategy;
  p.worker_count = worker_count_for_strategy(pool_worker_strategy, get_core_count());
}

u32 pool_worker_count() { return pool().worker_count; }

void pool_init() {
  pool_t& p = pool();
  if (p.active) return;
  p.work_semaphore.create(0, 0x7FFFFFFF);
  p.completion_semaphore.create(0, 0x7FFFFFFF);
  p.wait_semaphore.create(0, 0x7FFFFFFF);
  pool_apply_worker_strategy();
  for (thread_handle_t& worker : p.workers) worker = nullptr;
  p.stop.store(false);
  p.active = true;
  start_workers();
}

void pool_shutdown() {
  pool_t& p = pool();
  if (!p.active) return;
  p.active = false;
  p.stop.store(true);
  p.work_semaphore.release(max_worker_count);
  for (thread_handle_t& worker : p.workers) {
    join_thread(worker);
    worker = nullptr;
  }
  p.stop.store(false);
  drop_queued_tasks();
  p.work_semaphore.close();
  p.completion_semaphore.close();
  p.wait_semaphore.close();
}

void post_task(pool_task_t* task) {
  pool_t& p = pool();
  task->cancelled.store(false);
  {
    scoped_lock_t guard(p.queue_lock);
    p.queues[queue_index(task)].append(task);
    p.queued_count.fetch_add(1);
  }
  p.work_semaphore.release();
}

bool try_take_task(pool_task_t* task) {
  pool_t& p = pool();
  scoped_lock_t guard(p.queue_lock);
  u32 expected = task_state_queued;
  if (!task->state.compare_exchange_strong(expected, task_state_taken)) return false;
  p.queues[queue_index(task)].unlink(task);
  p.queued_count.fetch_sub(1);
  return true;
}

void wait_task(pool_task_t* task) {
  pool_t& p = pool();
  const u32 state = task->state.load();
  if (state == task_state_new || state == task_state_done) return;
  if (state == task_state_queued && !task->notify_on_completion && try_take_task(task)) {
    run_unless_cancelled(task);
    task->state.store(task_state_done);
    return;
  }
  scoped_lock_t waiter_guard(p.waiter_lock);
  {
    scoped_lock_t completion_guard(p.completion_lock);
    if (task->state.load() == task_state_done) return;
    task->waiter = &p.wait_semaphore;
  }
  p.wait_semaphore.wait();
  task->waiter = nullptr;
}

pool_task_t* wait_completed_task() {
  pool_t& p = pool();
  p.completion_semaphore.wait();
  scoped_lock_t guard(p.completed_lock);
  pool_task_t* task = p.completed.take_first();
  if (task) task->on_completed_list = false;
  return task;
}

} // namespace orvo::thread
