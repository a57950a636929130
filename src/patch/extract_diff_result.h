#pragma once
#include "ovcore/types.h"

namespace orvo::patch {

// Result of extracting a diff into a file; values are fixed and logged as "%u (%s)".
enum class extract_diff_result_t : u32 {
  ok = 0,
  aborted = 1,
  internal_error = 2,
  unsupported_method = 3,
  not_found = 4,
  wrong_key = 5,
  no_key = 6,
  container_read_error = 7,
  data_read_error = 8,
  write_error = 9,
  corrupted = 10,
  size_mismatch = 11,
};

// The name of a result value; the empty text for any other value.
const char* extract_diff_result_name(u32 value);

} // namespace orvo::patch
