#include "ovcore/thread/sync.h"

#include <windows.h>
#include <process.h>

#include <new>

namespace orvo::thread {

namespace {

CRITICAL_SECTION* as_section(unsigned char* storage) { return reinterpret_cast<CRITICAL_SECTION*>(storage); }

struct thread_start_t {
  thread_entry_t entry;
  void* argument;
};

unsigned __stdcall thread_trampoline(void* raw) {
  thread_start_t start = *static_cast<thread_start_t*>(raw);
  delete static_cast<thread_start_t*>(raw);
  start.entry(start.argument);
  return 0;
}

} // namespace

static_assert(sizeof(CRITICAL_SECTION) <= 64);

recursive_lock_t::recursive_lock_t() { InitializeCriticalSection(new (storage_) CRITICAL_SECTION); }
recursive_lock_t::~recursive_lock_t() { DeleteCriticalSection(as_section(storage_)); }
void recursive_lock_t::lock() { EnterCriticalSection(as_section(storage_)); }
void recursive_lock_t::unlock() { LeaveCriticalSection(as_section(storage_)); }

event_t::~event_t() {
  if (handle_) CloseHandle(handle_);
}
bool event_t::create() {
  if (!handle_) handle_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  return handle_ != nullptr;
}
void event_t::signal() { SetEvent(handle_); }
void event_t::wait() { WaitForSingleObject(handle_, INFINITE); }

semaphore_t::~semaphore_t() { close(); }
bool semaphore_t::create(i32 initial, i32 maximum) {
  close();
  handle_ = CreateSemaphoreW(nullptr, initial, maximum, nullptr);
  return handle_ != nullptr;
}
void semaphore_t::close() {
  if (handle_) CloseHandle(handle_);
  handle_ = nullptr;
}
void semaphore_t::release(i32 count) { ReleaseSemaphore(handle_, count, nullptr); }
void semaphore_t::wait() { WaitForSingleObject(handle_, INFINITE); }

thread_handle_t create_thread(thread_entry_t entry, void* argument) {
  auto* start = new (std::nothrow) thread_start_t{entry, argument};
  if (!start) return nullptr;
  uintptr_t handle = _beginthreadex(nullptr, 0, thread_trampoline, start, 0, nullptr);
  if (handle == 0) {
    delete start;
    return nullptr;
  }
  return reinterpret_cast<thread_handle_t>(handle);
}

void join_thread(thread_handle_t thread) {
  if (!thread) return;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

void set_thread_name(const char* name) {
  // Thread names are a debugging aid; SetThreadDescription is missing on older systems.
  using set_description_t = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  auto set_description = reinterpret_cast<set_description_t>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
  if (!set_description) return;
  wchar_t wide[64] = {};
  for (int i = 0; i < 63 && name[i]; ++i) wide[i] = static_cast<unsigned char>(name[i]);
  set_description(GetCurrentThread(), wide);
}

void set_thread_ideal_processor(thread_handle_t thread, u32 processor_number) {
  SetThreadIdealProcessor(thread, processor_number);
}

u64 current_thread_id() { return GetCurrentThreadId(); }
void yield_thread() { SwitchToThread(); }
void sleep_ms(u32 milliseconds) { Sleep(milliseconds); }

} // namespace orvo::thread
