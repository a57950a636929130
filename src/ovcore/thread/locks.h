#pragma once
#include "ovcore/thread/sync.h"

namespace orvo::thread {

// Reader/writer lock: readers share it, a writer holds it alone.
class rw_lock_t {
public:
  rw_lock_t();
  rw_lock_t(const rw_lock_t&) = delete;
  rw_lock_t& operator=(const rw_lock_t&) = delete;

  void read_lock();
  void write_lock();
  // Releases either kind of hold.
  void unlock();

private:
  recursive_lock_t section_;
  u32 readers_holding_ = 0;
  u32 readers_waiting_ = 0;
  u32 writers_waiting_ = 0;
  event_t read_event_;
  event_t write_event_;
  bool writer_holding_ = false;
};

} // namespace orvo::thread
