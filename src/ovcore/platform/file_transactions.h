#pragma once
#include "ovcore/types.h"

namespace orvo {

using transaction_handle_t = void*;

// The kernel transaction manager's operations as finalization uses them, as one table so that
// tests can stand in for the platform. Paths are NUL-terminated UTF-16; a failing operation
// leaves its reason in last_error().
struct transaction_functions_t {
  // One transaction that is never promoted and has no time limit; null on failure.
  transaction_handle_t (*create_transaction)(const wchar16_t* description);
  bool (*commit_transaction)(transaction_handle_t transaction);
  bool (*rollback_transaction)(transaction_handle_t transaction);
  // The probes' opens inside a transaction: reading (shared for reading, created when missing)
  // or writing (not shared, created anew); null on failure.
  transaction_handle_t (*open_probe_file)(const wchar16_t* path, bool write, transaction_handle_t transaction);
  // Replaces an existing target.
  bool (*move_file)(const wchar16_t* from, const wchar16_t* to, transaction_handle_t transaction);
  bool (*delete_file)(const wchar16_t* path, transaction_handle_t transaction);
  // Takes the read-only attribute off a file inside the transaction; true when it has none or
  // does not exist.
  bool (*clear_read_only)(const wchar16_t* path, transaction_handle_t transaction);
  // Closes a transaction (rolling back what was not committed) or a probe file.
  void (*close_handle)(transaction_handle_t handle);
  u32 (*last_error)();
};

namespace platform {

// The platform's transaction manager, resolved from its system libraries through
// load_module_cached; false (and nothing set) where any function is missing.
bool load_transaction_functions(transaction_functions_t& out);

} // namespace platform
} // namespace orvo
