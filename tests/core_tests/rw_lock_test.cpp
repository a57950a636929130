#include "ovcore/thread/locks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace orvo::thread {
namespace {

void take(rw_lock_t& lock, bool write) {
  if (write) lock.write_lock();
  else lock.read_lock();
}

TEST(rw_lock, readers_share_and_a_writer_excludes_everyone_else) {
  struct lock_case_t {
    bool first_writes;
    bool second_writes;
    bool shared;
  };
  const lock_case_t cases[] = {{false, false, true}, {true, false, false}, {false, true, false}};
  for (const lock_case_t& c : cases) {
    SCOPED_TRACE(std::to_string(c.first_writes) + std::to_string(c.second_writes));
    rw_lock_t lock;
    take(lock, c.first_writes);
    std::atomic<bool> second_in{false};
    std::thread second([&] {
      take(lock, c.second_writes);
      second_in = true;
      lock.unlock();
    });
    if (c.shared) second.join();
    else sleep_ms(50);
    EXPECT_EQ(second_in, c.shared);
    lock.unlock();
    if (!c.shared) second.join();
    EXPECT_TRUE(second_in);
  }
}

TEST(rw_lock, readers_never_see_a_half_written_pair) {
  rw_lock_t lock;
  long first = 0, second = 0;
  std::atomic<int> torn{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 5; ++t)
    threads.emplace_back([&, writer = t < 2] {
      for (int i = 0; i < 2000; ++i) {
        take(lock, writer);
        if (writer) {
          ++first;
          ++second;
        } else if (first != second) {
          ++torn;
        }
        lock.unlock();
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(torn.load(), 0);
  EXPECT_EQ(first, 4000);
  EXPECT_EQ(second, 4000);
}

} // namespace
} // namespace orvo::thread
