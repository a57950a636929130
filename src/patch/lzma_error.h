#pragma once
#include "patch/extract_diff_result.h"

#include <lzma.h>

namespace orvo::patch {

// Logs a failed liblzma code (anything but LZMA_OK and LZMA_STREAM_END) and gives its result.
extract_diff_result_t lzma_error_result(lzma_ret code);

} // namespace orvo::patch
