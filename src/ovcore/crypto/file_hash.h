#pragma once
#include "ovcore/crypto/content_hash.h"
#include "ovcore/progress/task_progress.h"

namespace orvo {

class file_t;

// SHA-256 of the whole file; returns a hash_stream_* value and writes out only on success.
// The callback and the progress record may be null.
u32 compute_file_hash(content_hash_t& out, file_t& file, progress_callback_t* callback, task_progress_t* progress);

} // namespace orvo
