#pragma once
#include "ovcore/types.h"

namespace orvo::thread {

// Recursive lock (a critical section on Windows).
class recursive_lock_t {
public:
  recursive_lock_t();
  ~recursive_lock_t();
  recursive_lock_t(const recursive_lock_t&) = delete;
  recursive_lock_t& operator=(const recursive_lock_t&) = delete;
  void lock();
  void unlock();

private:
  alignas(8) unsigned char storage_[64];
};

class scoped_lock_t {
public:
  explicit scoped_lock_t(recursive_lock_t& lock) : lock_(lock) { lock_.lock(); }
  ~scoped_lock_t() { lock_.unlock(); }
  scoped_lock_t(const scoped_lock_t&) = delete;
  scoped_lock_t& operator=(const scoped_lock_t&) = delete;

private:
  recursive_lock_t& lock_;
};

// Auto-reset event, initially not signalled. create() returns false when the platform refuses.
class event_t {
public:
  event_t() = default;
  ~event_t();
  event_t(const event_t&) = delete;
  event_t& operator=(const event_t&) = delete;
  bool create();
  void signal();
  void wait();

private:
  void* handle_ = nullptr;
};

// Counting semaphore.
class semaphore_t {
public:
  semaphore_t() = default;
  ~semaphore_t();
  semaphore_t(const semaphore_t&) = delete;
  semaphore_t& operator=(const semaphore_t&) = delete;
  bool create(i32 initial, i32 maximum);
  void close();
  void release(i32 count = 1);
  void wait();

private:
  void* handle_ = nullptr;
};

using thread_entry_t = void (*)(void* argument);

// Opaque thread handle; null when the thread could not be created.
using thread_handle_t = void*;

thread_handle_t create_thread(thread_entry_t entry, void* argument);
void join_thread(thread_handle_t thread);
void set_thread_name(const char* name);
void set_thread_ideal_processor(thread_handle_t thread, u32 processor_number);
u64 current_thread_id();
void yield_thread();
void sleep_ms(u32 milliseconds);

} // namespace orvo::thread
