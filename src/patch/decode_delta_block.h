#pragma once
#include "ovcore/crypto/key_id.h"
#include "ovcore/progress/task_progress.h"
#include "ovcore/ufs/fs_file.h"
#include "patch/extract_diff_result.h"

namespace orvo::patch {

// Rebuilds output from source (null when there is none) with the VCDIFF delta of payload_size
// bytes at payload_offset in container; progress counts bytes of output_size. Encrypted content
// (a key) is refused.
extract_diff_result_t decode_delta_block(file_t& output, file_t* source, file_t& container, u64 payload_offset,
                                         u64 payload_size, u64 output_size, const aes_key_t* key,
                                         progress_callback_t* progress);

} // namespace orvo::patch
