#pragma once
#include "ovcore/ufs/fs_io_request.h"

namespace orvo {

// The platform side of the I/O thread's queue.
class fs_io_issuer_t {
public:
  virtual ~fs_io_issuer_t() = default;
  // Starts the platform read or write; false when it could not be started.
  virtual bool issue(fs_io_request_t* request) = 0;
  // Marks the request complete (its result is set) and wakes its waiters. The request may be
  // given back at once, so it is not touched afterwards.
  virtual void signal(fs_io_request_t* request) = 0;
};

// FIFO queue of the I/O thread: at most max_in_flight requests are issued to the platform,
// the rest wait in posting order. Used by one thread at a time.
class fs_io_queue_t {
public:
  static constexpr u32 max_in_flight = 8;

  explicit fs_io_queue_t(fs_io_issuer_t& issuer) : issuer_(issuer) {}

  // A newly posted request; failed at once after stop().
  void accept(fs_io_request_t* request);
  // A platform operation has ended.
  void finish(fs_io_request_t* request, bool result);
  // Completes every queued request with false; requests in flight still finish.
  void stop();

  u32 in_flight() const { return in_flight_; }
  u32 queued() const { return queued_; }

private:
  void issue_queued();
  void complete(fs_io_request_t* request, bool result);

  fs_io_issuer_t& issuer_;
  fs_io_request_t* head_ = nullptr;
  fs_io_request_t* tail_ = nullptr;
  u32 queued_ = 0;
  u32 in_flight_ = 0;
  bool stopped_ = false;
};

} // namespace orvo
