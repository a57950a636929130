#pragma once
#include "ovcore/progress/task_progress.h"
#include "ovcore/ufs/fs_file.h"

namespace orvo {
struct aes_key_t;
}

namespace orvo::patch {

enum decode_delta_result_t : u32 {
  decode_delta_ok = 0,
  decode_delta_internal_error = 1,
  decode_delta_aborted = 2,
  decode_delta_container_read_error = 3,
  decode_delta_source_read_error = 4,
  decode_delta_write_error = 5,
  decode_delta_corrupted = 6,
};

// Rebuilds a target by appending to output: the VCDIFF delta of delta_length bytes at
// delta_offset in container, applied to source (null when the delta needs none). Encrypted
// deltas (a key) are refused. Progress reports bytes of expected_output_size; the callback may
// be null.
decode_delta_result_t decode_delta(file_t& container, u64 delta_offset, u64 delta_length, file_t* source,
                                   file_t& output, const aes_key_t* key, progress_callback_t* callback,
                                   u64 expected_output_size);

} // namespace orvo::patch
