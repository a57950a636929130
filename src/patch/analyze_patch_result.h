#pragma once
#include "ovcore/types.h"

namespace orvo::patch {

// Result of the analysis; values are fixed and logged as "%u (%s)".
enum class analyze_patch_result_t : u32 {
  ok = 0,
  aborted = 1,
  internal_error = 2,
  unsupported_root = 3,
  file_open_failed = 4,
  read_error = 5,
  diff_chain_missing = 6,
  diff_missing = 7,
};

// The name of a result value; the empty text for any other value.
const char* analyze_patch_result_name(u32 value);

} // namespace orvo::patch
