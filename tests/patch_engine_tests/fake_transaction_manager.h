#pragma once
#include "ovcore/platform/file_transactions.h"

#include <string>
#include <vector>

namespace orvo::analysis {

// A transaction manager for tests: operations are recorded and reach the disk only at the
// commit; closing an uncommitted transaction drops them. One chosen call can be made to fail.
class fake_transaction_manager_t {
public:
  enum call_t { none, create, commit, probe_read, probe_write, move, remove };

  fake_transaction_manager_t();
  ~fake_transaction_manager_t();

  const transaction_functions_t& functions() const { return functions_; }
  // The call fails with the error code each time it is made.
  void fail(call_t call, u32 error) {
    failing_ = call;
    error_ = error;
  }

  u32 transactions_created = 0;
  u32 commits = 0;
  // Handles given out and not yet closed.
  u32 open_handles = 0;
  // Probe files opened.
  u32 probes = 0;

private:
  struct operation_t {
    bool is_move;
    std::string from, to;
  };
  bool fails(call_t call);
  void commit_pending();

  transaction_functions_t functions_{};
  call_t failing_ = none;
  u32 error_ = 0;
  u32 last_error_ = 0;
  std::vector<operation_t> pending_;
  int transaction_ = 0, probe_ = 0;
};

} // namespace orvo::analysis
