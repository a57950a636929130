#pragma once
#include "ovcore/types.h"

namespace orvo::patch {

// Result of opening a container; values are fixed and logged as "%u (%s)".
enum class container_open_result_t : u32 {
  ok = 0,
  aborted = 1,
  internal_error = 2,
  // Reserved for a failure to open the container file.
  open_failed = 3,
  io_error = 4,
  not_container = 5,
  unsupported_version = 6,
  corrupted = 7,
  unknown_key = 8,
  no_signature = 9,
  invalid_signature = 10,
};

// The name of a result value; the empty text for any other value.
const char* container_open_result_name(u32 value);

} // namespace orvo::patch
