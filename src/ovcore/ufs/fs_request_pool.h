#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/thread/sync.h"
#include "ovcore/ufs/fs_io_request.h"

namespace orvo {

// Free list of native requests, grown in blocks of 7, 14, 28, ... requests that live until exit.
class fs_request_pool_t {
public:
  static constexpr u32 first_block_size = 7;

  fs_request_pool_t() = default;
  ~fs_request_pool_t();
  fs_request_pool_t(const fs_request_pool_t&) = delete;
  fs_request_pool_t& operator=(const fs_request_pool_t&) = delete;

  // A cleared request, or null when a new block cannot be allocated.
  fs_io_request_t* take();
  void give_back(fs_io_request_t* request);
  // Requests allocated so far.
  u32 capacity();

private:
  bool grow();

  thread::recursive_lock_t lock_;
  fs_io_request_t* free_ = nullptr;
  u32 next_block_size_ = first_block_size;
  u32 capacity_ = 0;
  array_dyn_t<fs_io_request_t*> blocks_;
};

// The process-wide pool of the native backend.
fs_request_pool_t& fs_request_pool();

} // namespace orvo
