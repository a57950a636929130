#include "ovcore/thread/sync.h"

#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <new>

namespace orvo::thread {

namespace {

pthread_mutex_t* as_mutex(unsigned char* storage) { return reinterpret_cast<pthread_mutex_t*>(storage); }

// Mutex and condition behind events and semaphores.
struct waitable_t {
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t cond = PTHREAD_COND_INITIALIZER;
  i64 count = 0;
  i64 maximum = 1;
  ~waitable_t() {
    pthread_cond_destroy(&cond);
    pthread_mutex_destroy(&mutex);
  }
  void release(i64 n) {
    pthread_mutex_lock(&mutex);
    count = count + n > maximum ? maximum : count + n;
    pthread_mutex_unlock(&mutex);
    if (n == 1) pthread_cond_signal(&cond);
    else pthread_cond_broadcast(&cond);
  }
  void wait() {
    pthread_mutex_lock(&mutex);
    while (count == 0) pthread_cond_wait(&cond, &mutex);
    --count;
    pthread_mutex_unlock(&mutex);
  }
};

struct thread_start_t {
  thread_entry_t entry;
  void* argument;
};

void* thread_trampoline(void* raw) {
  thread_start_t start = *static_cast<thread_start_t*>(raw);
  delete static_cast<thread_start_t*>(raw);
  start.entry(start.argument);
  return nullptr;
}

} // namespace

static_assert(sizeof(pthread_mutex_t) <= 64);

recursive_lock_t::recursive_lock_t() {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(new (storage_) pthread_mutex_t, &attributes);
  pthread_mutexattr_destroy(&attributes);
}
recursive_lock_t::~recursive_lock_t() { pthread_mutex_destroy(as_mutex(storage_)); }
void recursive_lock_t::lock() { pthread_mutex_lock(as_mutex(storage_)); }
void recursive_lock_t::unlock() { pthread_mutex_unlock(as_mutex(storage_)); }

event_t::~event_t() { delete static_cast<waitable_t*>(handle_); }
bool event_t::create() {
  if (!handle_) handle_ = new (std::nothrow) waitable_t;
  return handle_ != nullptr;
}
void event_t::signal() { static_cast<waitable_t*>(handle_)->release(1); }
void event_t::wait() { static_cast<waitable_t*>(handle_)->wait(); }

semaphore_t::~semaphore_t() { close(); }
bool semaphore_t::create(i32 initial, i32 maximum) {
  close();
  auto* w = new (std::nothrow) waitable_t;
  if (!w) return false;
  w->count = initial;
  w->maximum = maximum;
  handle_ = w;
  return true;
}
void semaphore_t::close() {
  delete static_cast<waitable_t*>(handle_);
  handle_ = nullptr;
}
void semaphore_t::release(i32 count) { static_cast<waitable_t*>(handle_)->release(count); }
void semaphore_t::wait() { static_cast<waitable_t*>(handle_)->wait(); }

thread_handle_t create_thread(thread_entry_t entry, void* argument) {
  auto* start = new (std::nothrow) thread_start_t{entry, argument};
  if (!start) return nullptr;
  pthread_t thread;
  if (pthread_create(&thread, nullptr, thread_trampoline, start) != 0) {
    delete start;
    return nullptr;
  }
  return reinterpret_cast<thread_handle_t>(thread);
}

void join_thread(thread_handle_t thread) {
  if (thread) pthread_join(reinterpret_cast<pthread_t>(thread), nullptr);
}

void set_thread_name(const char* name) {
  char truncated[16] = {};
  for (int i = 0; i < 15 && name[i]; ++i) truncated[i] = name[i];
  pthread_setname_np(pthread_self(), truncated);
}

void set_thread_ideal_processor(thread_handle_t thread, u32 processor_number) {
  // Linux has no ideal processor; the scheduler places threads itself.
  (void)thread;
  (void)processor_number;
}

u64 current_thread_id() { return static_cast<u64>(syscall(SYS_gettid)); }
void yield_thread() { sched_yield(); }
void sleep_ms(u32 milliseconds) {
  timespec t{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  nanosleep(&t, nullptr);
}

} // namespace orvo::thread
