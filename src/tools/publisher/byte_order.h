#pragma once
#include "ovcore/types.h"

namespace orvo::publisher {

inline void put_u32_le(u8* out, u32 value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<u8>(value >> (8 * i));
}

inline void put_u64_le(u8* out, u64 value) {
  for (int i = 0; i < 8; ++i) out[i] = static_cast<u8>(value >> (8 * i));
}

inline u32 get_u32_le(const u8* in) {
  u32 value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | in[i];
  return value;
}

inline u64 get_u64_le(const u8* in) {
  u64 value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | in[i];
  return value;
}

} // namespace orvo::publisher
