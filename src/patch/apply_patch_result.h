#pragma once
#include "ovcore/types.h"

namespace orvo::patch {

// Result of applying a patch; values are fixed and logged as "%u (%s)".
enum class apply_patch_result_t : u32 {
  ok = 0,
  aborted = 1,
  transactions_unsupported = 2,
  inconsistent_output = 3,
  internal_error = 4,
  corrupted_patch = 5,
  read_error = 6,
  write_error = 7,
  unable_to_create_file = 8,
  unable_to_delete_file = 9,
  unable_to_move_file = 10,
  transaction_failed = 11,
  critical_internal_error = 12,
  critical_unable_to_delete_file = 13,
  critical_unable_to_move_file = 14,
};

// The name of a result value; the empty text for any other value.
const char* apply_patch_result_name(u32 value);

} // namespace orvo::patch
