#include "ovcore/thread/locks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace orvo::thread {
namespace {

TEST(rw_lock, readers_share_the_lock) {
  rw_lock_t lock;
  lock.read_lock();
  std::atomic<bool> second_reader_in{false};
  std::thread reader([&] {
    lock.read_lock();
    second_reader_in = true;
    lock.unlock();
  });
  reader.join();
  EXPECT_TRUE(second_reader_in);
  lock.unlock();
}

TEST(rw_lock, writer_excludes_readers_until_it_unlocks) {
  rw_lock_t lock;
  lock.write_lock();
  std::atomic<bool> reader_in{false};
  std::thread reader([&] {
    lock.read_lock();
    reader_in = true;
    lock.unlock();
  });
  sleep_ms(50);
  EXPECT_FALSE(reader_in);
  lock.unlock();
  reader.join();
  EXPECT_TRUE(reader_in);
}

TEST(rw_lock, writer_waits_for_readers) {
  rw_lock_t lock;
  lock.read_lock();
  std::atomic<bool> writer_in{false};
  std::thread writer([&] {
    lock.write_lock();
    writer_in = true;
    lock.unlock();
  });
  sleep_ms(50);
  EXPECT_FALSE(writer_in);
  lock.unlock();
  writer.join();
  EXPECT_TRUE(writer_in);
}

TEST(rw_lock, readers_never_see_a_half_written_pair) {
  rw_lock_t lock;
  long first = 0, second = 0;
  std::atomic<int> torn{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        lock.write_lock();
        ++first;
        ++second;
        lock.unlock();
      }
    });
  for (int t = 0; t < 3; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        lock.read_lock();
        if (first != second) ++torn;
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
