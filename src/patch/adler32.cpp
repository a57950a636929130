#include "patch/adler32.h"

#include "patch/adler32_vector.h"

namespace orvo::patch {

namespace {

// Adds bytes one by one, reducing after each run of at most adler32_max_run bytes.
void add_bytes(u32& a, u32& b, const u8* data, u64 size) {
  while (size > 0) {
    u32 run = size < adler32_max_run ? static_cast<u32>(size) : adler32_max_run;
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
    a %= adler32_modulus;
    b %= adler32_modulus;
  }
}

} // namespace

u32 adler32_update(u32 adler, const u8* data, u64 size) {
  u32 a = adler & 0xFFFF;
  u32 b = adler >> 16;
  const u64 vector_bytes = adler32_add_vectors(a, b, data, size);
  add_bytes(a, b, data + vector_bytes, size - vector_bytes);
  return (b << 16) | a;
}

} // namespace orvo::patch
