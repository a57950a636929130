#include "patch/diff_size_result.h"

namespace orvo::patch {

const char* diff_size_result_name(u32 value) {
  static const char* const names[] = {"ok", "key_id_error", "not_found", "wrong_key", "no_key", "read_error"};
  return value < sizeof names / sizeof names[0] ? names[value] : "";
}

} // namespace orvo::patch
