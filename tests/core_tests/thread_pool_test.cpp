#include "ovcore/system/processors.h"
#include "ovcore/thread/sync.h"
#include "ovcore/thread/thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <vector>

namespace orvo::thread {
namespace {

void print_failed_check(const char* message, const char* source_file, u32 line, const char*) {
  std::fprintf(stderr, "%s(%u): %s\n", source_file, line, message);
}

// An unknown strategy is a failed check.
TEST(worker_strategy, share_of_the_cores_at_least_one_at_most_128) {
  const u32 cases[][3] = {
      // strategy, cores, workers
      {worker_strategy_three_quarters, 1, 1}, {worker_strategy_three_quarters, 2, 1},
      {worker_strategy_three_quarters, 4, 3}, {worker_strategy_three_quarters, 8, 6},
      {worker_strategy_three_quarters, 200, 128}, {worker_strategy_up_to_two, 1, 1},
      {worker_strategy_up_to_two, 3, 2},      {worker_strategy_up_to_two, 64, 2},
      {worker_strategy_single, 16, 1},        {worker_strategy_all_cores, 16, 16},
      {worker_strategy_all_cores, 200, 128},
  };
  for (const auto& c : cases) EXPECT_EQ(worker_count_for_strategy(c[0], c[1]), c[2]) << c[0] << " " << c[1];

  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        fatal_hook = print_failed_check;
        worker_count_for_strategy(5, 4);
      },
      "thread.thread_pool\\(534\\): Unknown worker strategy selected\\.");
}

// Holds the only worker until released.
class gate_task_t final : public pool_task_t {
public:
  gate_task_t() {
    started.create();
    release.create();
  }
  void run() override {
    started.signal();
    release.wait();
  }
  event_t started;
  event_t release;
};

class recording_task_t final : public pool_task_t {
public:
  recording_task_t(int id, std::vector<int>& order, std::mutex& mutex) : id_(id), order_(order), mutex_(mutex) {}
  void run() override {
    thread_id = current_thread_id();
    std::lock_guard<std::mutex> guard(mutex_);
    order_.push_back(id_);
  }
  std::atomic<u64> thread_id{0};

private:
  int id_;
  std::vector<int>& order_;
  std::mutex& mutex_;
};

void release_gate_later(void* gate) {
  sleep_ms(50);
  static_cast<gate_task_t*>(gate)->release.signal();
}

bool reaches_done(const pool_task_t& task) {
  for (int i = 0; i < 10000 && task.state.load() != task_state_done; ++i) sleep_ms(1);
  return task.state.load() == task_state_done;
}

// A pool of exactly one worker, so the order of execution is the order of taking.
class single_worker_pool : public ::testing::Test {
protected:
  void SetUp() override {
    detect_processors();
    pool_explicit_worker_count = 1;
    pool_init();
    ASSERT_EQ(pool_worker_count(), 1u);
  }
  void TearDown() override {
    pool_shutdown();
    pool_explicit_worker_count = -1;
  }
  static void post(pool_task_t& task) {
    ASSERT_TRUE(task.mark_queued());
    post_task(&task);
  }
  void occupy_worker() {
    post(gate_);
    gate_.started.wait();
    ASSERT_EQ(gate_.state.load(), task_state_taken);
  }
  void free_worker() {
    gate_.release.signal();
    wait_task(&gate_);
    EXPECT_EQ(gate_.state.load(), task_state_done);
  }

  gate_task_t gate_;
  std::vector<int> order_;
  std::mutex mutex_;
};

TEST_F(single_worker_pool, higher_priority_first_then_posting_order) {
  occupy_worker();
  recording_task_t low(3, order_, mutex_), first(1, order_, mutex_), second(2, order_, mutex_);
  low.priority = 3;
  first.priority = 1;
  second.priority = 1;
  post(low);
  post(first);
  post(second);
  free_worker();
  ASSERT_TRUE(reaches_done(low));
  ASSERT_TRUE(reaches_done(first));
  ASSERT_TRUE(reaches_done(second));
  EXPECT_EQ(order_, (std::vector<int>{1, 2, 3}));
}

TEST_F(single_worker_pool, waiting_runs_a_queued_task_on_the_caller_and_blocks_on_a_running_one) {
  occupy_worker();
  recording_task_t queued(1, order_, mutex_), behind(2, order_, mutex_);
  post(queued);
  wait_task(&queued);
  EXPECT_EQ(queued.state.load(), task_state_done);
  EXPECT_EQ(queued.thread_id.load(), current_thread_id());
  post(behind);
  thread_handle_t releaser = create_thread(release_gate_later, &gate_);
  wait_task(&gate_);
  EXPECT_EQ(gate_.state.load(), task_state_done);
  join_thread(releaser);
  ASSERT_TRUE(reaches_done(behind));
  EXPECT_NE(behind.thread_id.load(), current_thread_id());
}

TEST_F(single_worker_pool, a_task_cancelled_while_queued_ends_done_without_running) {
  recording_task_t earlier(1, order_, mutex_);
  earlier.cancelled = true;  // posting clears an earlier cancel
  post(earlier);
  ASSERT_TRUE(reaches_done(earlier));
  occupy_worker();
  recording_task_t task(2, order_, mutex_);
  post(task);
  task.cancelled = true;
  gate_.release.signal();
  ASSERT_TRUE(reaches_done(task));
  EXPECT_EQ(order_, std::vector<int>{1});
  wait_task(&gate_);
}

TEST_F(single_worker_pool, notifying_task_lands_on_the_completed_list) {
  recording_task_t task(1, order_, mutex_);
  task.notify_on_completion = true;
  post(task);
  EXPECT_EQ(wait_completed_task(), &task);
  EXPECT_EQ(task.state.load(), task_state_done);
  EXPECT_FALSE(task.on_completed_list);
}

TEST_F(single_worker_pool, taking_succeeds_only_for_a_queued_task) {
  occupy_worker();
  recording_task_t task(1, order_, mutex_);
  EXPECT_FALSE(try_take_task(&task));
  post(task);
  EXPECT_TRUE(try_take_task(&task));
  EXPECT_EQ(task.state.load(), task_state_taken);
  EXPECT_FALSE(try_take_task(&task));
  free_worker();
  EXPECT_TRUE(order_.empty());
}

TEST_F(single_worker_pool, shutdown_leaves_queued_tasks_unrun) {
  occupy_worker();
  recording_task_t task(1, order_, mutex_);
  post(task);
  thread_handle_t releaser = create_thread(release_gate_later, &gate_);
  pool_shutdown();
  join_thread(releaser);
  EXPECT_EQ(gate_.state.load(), task_state_done);
  pool_init();
  recording_task_t later(2, order_, mutex_);
  post(later);
  ASSERT_TRUE(reaches_done(later));
  EXPECT_EQ(order_, std::vector<int>{2});
  EXPECT_EQ(task.state.load(), task_state_queued);
}

TEST(pool_threads, many_tasks_on_the_detected_worker_count) {
  detect_processors();
  pool_init();
  EXPECT_EQ(pool_worker_count(), worker_count_for_strategy(worker_strategy_three_quarters, get_core_count()));
  std::vector<int> order;
  std::mutex mutex;
  std::vector<recording_task_t*> tasks;
  for (int i = 0; i < 200; ++i) {
    tasks.push_back(new recording_task_t(i, order, mutex));
    tasks.back()->priority = static_cast<u32>(i % 4);
    ASSERT_TRUE(tasks.back()->mark_queued());
    post_task(tasks.back());
  }
  for (recording_task_t* task : tasks) {
    wait_task(task);
    EXPECT_EQ(task->state.load(), task_state_done);
    delete task;
  }
  pool_shutdown();
  EXPECT_EQ(order.size(), 200u);
}

} // namespace
} // namespace orvo::thread
