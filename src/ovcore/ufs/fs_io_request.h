#pragma once
#include "ovcore/types.h"

namespace orvo {

enum : u32 {
  fs_request_posted = 1,
  fs_request_queued = 2,
  fs_request_issued = 3,
  fs_request_complete = 4,
};

enum : u32 {
  fs_request_read = 1,
  fs_request_write = 2,
};

// One asynchronous read or write. Native requests are pooled and served by the I/O thread;
// memory and cached files hand out the shared complete request instead.
struct fs_io_request_t {
  fs_io_request_t* next_free = nullptr;
  fs_io_request_t* next_queued = nullptr;
  // Read and written with atomic access: the I/O thread completes, any thread polls.
  u32 state = 0;
  u32 type = 0;
  void* buffer = nullptr;
  u32 size = 0;
  u64 offset = 0;
  // The platform's overlapped-I/O block.
  alignas(8) unsigned char platform_block[32] = {};
  void* file_handle = nullptr;
  // Manual-reset completion event (null where the platform signals completion otherwise).
  void* event = nullptr;
  bool result = false;
};

// The request that memory and cached files return: already complete and successful.
fs_io_request_t* fs_complete_request();

} // namespace orvo
