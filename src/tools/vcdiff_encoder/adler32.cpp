#include "tools/vcdiff_encoder/adler32.h"

namespace orvo::vcdiff {

u32 adler32(const u8* data, size_t length) {
  constexpr u32 modulus = 65521;
  // Largest block that cannot overflow the 32-bit sums before the reduction.
  constexpr size_t block = 5552;
  u32 a = 1, b = 0;
  while (length > 0) {
    const size_t count = length < block ? length : block;
    for (size_t i = 0; i < count; ++i) {
      a += data[i];
      b += a;
    }
    a %= modulus;
    b %= modulus;
    data += count;
    length -= count;
  }
  return (b << 16) | a;
}

} // namespace orvo::vcdiff
