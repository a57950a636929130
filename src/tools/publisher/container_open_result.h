#pragma once
#include "ovcore/types.h"

namespace orvo::publisher {

// Outcome of opening a container, with the values and names the updater uses.
enum container_open_result_t : u32 {
  open_ok = 0,
  open_aborted = 1,
  open_internal_error = 2,
  open_open_failed = 3,
  open_io_error = 4,
  open_not_container = 5,
  open_unsupported_version = 6,
  open_corrupted = 7,
  open_unknown_key = 8,
  open_no_signature = 9,
  open_invalid_signature = 10,
};

// "ok", "invalid_signature", ...; the empty string for values outside the enumeration.
const char* container_open_result_name(u32 result);

} // namespace orvo::publisher
