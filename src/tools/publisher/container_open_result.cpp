#include "tools/publisher/container_open_result.h"

namespace orvo::publisher {

const char* container_open_result_name(u32 result) {
  static const char* const names[] = {"ok",          "aborted",   "internal_error", "open_failed",
                                      "io_error",    "not_container", "unsupported_version", "corrupted",
                                      "unknown_key", "no_signature",  "invalid_signature"};
  return result < sizeof(names) / sizeof(names[0]) ? names[result] : "";
}

} // namespace orvo::publisher
