#pragma once
#include "ovcore/callbacks/callback.h"
#include "ovcore/types.h"

namespace orvo {

// Progress of a long operation; stage ids are opaque and compared for equality only.
struct task_progress_t {
  u64 stage_id = 0;
  u64 step = 0;
  u64 step_count = 0;
  u64 bytes_done = 0;
  u64 bytes_total = 0;
};

// Answers false to ask the operation to stop.
using progress_callback_t = callback_1_t<bool, const task_progress_t&>;

} // namespace orvo
