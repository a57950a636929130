#pragma once
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/progress/task_progress.h"
#include "patch/container_format.h"
#include "patch/container_open_result.h"

namespace orvo {
class file_t;
}

namespace orvo::patch {

// Verifies the signature over the header (signature field zeroed) and every byte after it,
// with the key of the list whose fingerprint the header names. Streams the container once.
container_open_result_t verify_container_signature(file_t& file, const u8 (&header)[container_header_size], u64 size,
                                                   const array_t<const rsa_public_key_t*>& keys,
                                                   progress_callback_t* callback, task_progress_t& progress);

} // namespace orvo::patch
