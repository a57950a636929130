#include "ovcore/ufs/fs_io_queue.h"

#include <atomic>

namespace orvo {

void fs_io_queue_t::accept(fs_io_request_t* request) {
  if (stopped_) {
    complete(request, false);
    return;
  }
  std::atomic_ref<u32>(request->state).store(fs_request_queued, std::memory_order_relaxed);
  request->next_queued = nullptr;
  if (tail_) tail_->next_queued = request;
  else head_ = request;
  tail_ = request;
  ++queued_;
  issue_queued();
}

void fs_io_queue_t::finish(fs_io_request_t* request, bool result) {
  --in_flight_;
  complete(request, result);
  issue_queued();
}

void fs_io_queue_t::stop() {
  stopped_ = true;
  while (head_) {
    fs_io_request_t* request = head_;
    head_ = request->next_queued;
    --queued_;
    complete(request, false);
  }
  tail_ = nullptr;
}

void fs_io_queue_t::issue_queued() {
  while (head_ && in_flight_ < max_in_flight) {
    fs_io_request_t* request = head_;
    head_ = request->next_queued;
    if (!head_) tail_ = nullptr;
    --queued_;
    std::atomic_ref<u32>(request->state).store(fs_request_issued, std::memory_order_relaxed);
    if (issuer_.issue(request)) ++in_flight_;
    else complete(request, false);
  }
}

void fs_io_queue_t::complete(fs_io_request_t* request, bool result) {
  request->result = result;
  issuer_.signal(request);
}

} // namespace orvo
