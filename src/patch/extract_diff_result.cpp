#include "patch/extract_diff_result.h"

namespace orvo::patch {

const char* extract_diff_result_name(u32 value) {
  static const char* const names[] = {"ok",       "aborted",     "internal_error",       "unsupported_method",
                                      "not_found", "wrong_key",  "no_key",               "container_read_error",
                                      "data_read_error", "write_error", "corrupted",     "size_mismatch"};
  return value < sizeof names / sizeof names[0] ? names[value] : "";
}

} // namespace orvo::patch
