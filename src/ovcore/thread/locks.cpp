#include "ovcore/thread/locks.h"

#include "ovcore/messages/messages.h"

namespace orvo::thread {

rw_lock_t::rw_lock_t() {
  ORVO_CHECK_AT(read_event_.create(), "thread\\locks", 153, "Unable to create event.");
  ORVO_CHECK_AT(write_event_.create(), "thread\\locks", 155, "Unable to create event.");
}

void rw_lock_t::read_lock() {
  section_.lock();
  while (writer_holding_ || (readers_holding_ == 0 && writers_waiting_ > 0)) {
    ++readers_waiting_;
    section_.unlock();
    read_event_.wait();
    section_.lock();
    --readers_waiting_;
  }
  if (writers_waiting_ == 0 && readers_waiting_ > 0) read_event_.signal();
  ++readers_holding_;
  section_.unlock();
}

void rw_lock_t::write_lock() {
  section_.lock();
  while (writer_holding_ || readers_holding_ > 0) {
    ++writers_waiting_;
    section_.unlock();
    write_event_.wait();
    section_.lock();
    --writers_waiting_;
  }
  writer_holding_ = true;
  section_.unlock();
}

void rw_lock_t::unlock() {
  section_.lock();
  if (writer_holding_) writer_holding_ = false;
  else --readers_holding_;
  if (readers_holding_ == 0) {
    if (writers_waiting_ > 0) write_event_.signal();
    else if (readers_waiting_ > 0) read_event_.signal();
  }
  section_.unlock();
}

} // namespace orvo::thread
