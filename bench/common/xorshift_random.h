#pragma once
#include "ovcore/types.h"

#include <cstring>

namespace orvo::bench {

// xorshift64: the same seed makes the same test data on every platform and in every run.
struct xorshift_random_t {
  u64 state;

  u64 next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
  u32 below(u32 bound) { return static_cast<u32>(next() % bound); }
  void fill(u8* out, u64 size) {
    for (u64 i = 0; i < size; i += 8) {
      const u64 value = next();
      std::memcpy(out + i, &value, size - i < 8 ? size - i : 8);
    }
  }
};

} // namespace orvo::bench
