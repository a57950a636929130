#pragma once
#include "ovcore/progress/task_progress.h"
#include "ovcore/ufs/fs_file.h"
#include "patch/extract_diff_result.h"

namespace orvo::patch {

// Copies a stored payload of the container to the start of output, 64 KiB at a time.
// Gives ok, aborted, container_read_error or write_error.
extract_diff_result_t copy_block(file_t& output, file_t& container, u64 payload_offset, u64 payload_size,
                                 progress_callback_t* progress);

} // namespace orvo::patch
