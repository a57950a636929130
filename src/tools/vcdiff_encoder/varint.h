#pragma once
#include "ovcore/types.h"

#include <vector>

namespace orvo::vcdiff {

// VCDIFF integers: base-128 digits, most significant first; every digit but the last has bit 0x80 set.
inline u32 varint_length(u64 value) {
  u32 length = 1;
  while (value >>= 7) ++length;
  return length;
}

inline void append_varint(std::vector<u8>& out, u64 value) {
  u8 digits[10];
  u32 count = 0;
  do {
    digits[count++] = static_cast<u8>(value & 0x7F);
    value >>= 7;
  } while (value);
  while (count > 1) out.push_back(static_cast<u8>(digits[--count] | 0x80));
  out.push_back(digits[0]);
}

} // namespace orvo::vcdiff
