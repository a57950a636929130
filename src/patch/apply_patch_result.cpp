#include "patch/apply_patch_result.h"

namespace orvo::patch {

const char* apply_patch_result_name(u32 value) {
  static const char* const names[] = {"ok",
                                      "aborted",
                                      "transactions_unsupported",
                                      "inconsistent_output",
                                      "internal_error",
                                      "corrupted_patch",
                                      "read_error",
                                      "write_error",
                                      "unable_to_create_file",
                                      "unable_to_delete_file",
                                      "unable_to_move_file",
                                      "transaction_failed",
                                      "critical_internal_error",
                                      "critical_unable_to_delete_file",
                                      "critical_unable_to_move_file"};
  return value < sizeof names / sizeof names[0] ? names[value] : "";
}

} // namespace orvo::patch
