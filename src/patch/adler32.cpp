#include "patch/adler32.h"

namespace orvo::patch {

namespace {

constexpr u32 modulus = 65521;
// Largest run of bytes whose sums cannot overflow 32 bits before the reduction.
constexpr u32 max_run = 5552;

} // namespace

u32 adler32_update(u32 adler, const u8* data, u64 size) {
  u32 a = adler & 0xFFFF;
  u32 b = adler >> 16;
  while (size > 0) {
    u32 run = size < max_run ? static_cast<u32>(size) : max_run;
    size -= run;
    while (run >= 8) {
      a += data[0]; b += a;
      a += data[1]; b += a;
      a += data[2]; b += a;
      a += data[3]; b += a;
      a += data[4]; b += a;
      a += data[5]; b += a;
      a += data[6]; b += a;
      a += data[7]; b += a;
      data += 8;
      run -= 8;
    }
    while (run-- > 0) {
      a += *data++;
      b += a;
    }
    a %= modulus;
    b %= modulus;
  }
  return (b << 16) | a;
}

} // namespace orvo::patch
