#pragma once
#include "ovcore/crypto/key_id.h"
#include "ovcore/progress/task_progress.h"
#include "ovcore/ufs/fs_file.h"
#include "patch/extract_diff_result.h"

namespace orvo::patch {

// Decodes the .xz stream of payload_size bytes at payload_offset in container, appending the
// decompressed bytes at output's position; bytes after the end of the stream are ignored.
// Encrypted content (a key) is refused. Gives ok, aborted, internal_error, data_read_error,
// write_error or corrupted.
extract_diff_result_t decode_lzma_block(file_t& output, file_t& container, u64 payload_offset, u64 payload_size,
                                        const aes_key_t* key, progress_callback_t* progress);

} // namespace orvo::patch
