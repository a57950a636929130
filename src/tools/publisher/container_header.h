#pragma once
#include "tools/publisher/container_open_result.h"
#include "tools/publisher/rsa_keys.h"

#include <iosfwd>

namespace orvo::publisher {

struct container_header_t {
  u32 magic = 0;
  u32 version = 0;
  key_fingerprint_t fingerprint{};
  bool signed_ = false;         // fingerprint not all zero
  bool reserved_zero = false;
  bool signature_zero = false;
};

// Reads and decodes the header. Returns open_ok, or the result for a file that is too short,
// unreadable, not a container or of another version; `header` holds what could be read.
container_open_result_t read_container_header(std::istream& file, u64 size, container_header_t& header);

// The result the header's signature fields lead to before any key is consulted: open_ok for a
// signed header, open_no_signature or open_corrupted for an unsigned one.
container_open_result_t check_unsigned_header(const container_header_t& header);

} // namespace orvo::publisher
