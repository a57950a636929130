#include "patch/analyze_patch_result.h"

namespace orvo::patch {

const char* analyze_patch_result_name(u32 value) {
  static const char* const names[] = {"ok",        "aborted",           "internal_error",     "unsupported_root",
                                      "file_open_failed", "read_error", "diff_chain_missing", "diff_missing"};
  return value < sizeof names / sizeof names[0] ? names[value] : "";
}

} // namespace orvo::patch
