#pragma once
#include "ovcore/types.h"

#include <vector>

namespace orvo::patch::fuzz {

// The source the fuzzed deltas are decoded against: the RFC 3284 example source, then 64 KiB of
// patterned bytes.
inline std::vector<u8> fuzz_source() {
  std::vector<u8> source(65536);
  const char* start = "abcdefghijklmnop";
  for (u32 i = 0; i < source.size(); ++i) source[i] = i < 16 ? static_cast<u8>(start[i]) : static_cast<u8>(i * 131 >> 3);
  return source;
}

} // namespace orvo::patch::fuzz
