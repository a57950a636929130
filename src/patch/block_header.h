#pragma once
#include "ovcore/types.h"
#include "patch/container_format.h"

#include <cstring>

namespace orvo::patch {

// Progress stage of diff extraction.
constexpr u64 stage_extraction = 0x000000000248408Cull;

// The 16 bytes in front of a block payload: u64 output size, method, reserved.
struct block_header_t {
  u64 output_size = 0;
  char method[4] = {};

  bool has_method(const char (&name)[5]) const { return std::memcmp(method, name, 4) == 0; }
};

inline block_header_t parse_block_header(const u8 (&bytes)[block_header_size]) {
  block_header_t header;
  header.output_size = read_u64_le(bytes);
  std::memcpy(header.method, bytes + 8, 4);
  return header;
}

} // namespace orvo::patch
