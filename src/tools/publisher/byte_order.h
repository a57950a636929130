#pragma once
#include "ovcore/types.h"

namespace orvo::publisher {

inline void put_u32_le(u8* out, u32 value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<u8>(value >> (8 * i));
}

inline void put_u64_le(u8* out, u64 value) {
  for (int i = 0; i < 8; ++i) out[i] = static_cast<u8>(value >> (8 * i));
}

} // namespace orvo::publisher
