#include "patch/container_open_result.h"

namespace orvo::patch {

const char* container_open_result_name(u32 value) {
  static const char* const names[] = {"ok",        "aborted",       "internal_error",      "open_failed",
                                      "io_error",  "not_container", "unsupported_version", "corrupted",
                                      "unknown_key", "no_signature", "invalid_signature"};
  return value < sizeof names / sizeof names[0] ? names[value] : "";
}

} // namespace orvo::patch
