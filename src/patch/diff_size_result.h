#pragma once
#include "ovcore/types.h"

namespace orvo::patch {

// Result of asking for a diff's output size; values are fixed and logged as "%u (%s)".
enum class diff_size_result_t : u32 {
  ok = 0,
  key_id_error = 1,
  not_found = 2,
  wrong_key = 3,
  no_key = 4,
  read_error = 5,
};

// The name of a result value; the empty text for any other value.
const char* diff_size_result_name(u32 value);

} // namespace orvo::patch
