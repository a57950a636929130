#include "patch/adler32_vector.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace orvo::patch {

#if defined(__x86_64__) || defined(__i386__)

namespace {

// For a run of m vectors of width w that starts at (a, b):
//   a' = a + sum of bytes
//   b' = b + w * (m * a + sum over vectors of the byte sum before it) + sum of (w - i) * byte i
// Per-lane sums stay far below 2^32 within a run; they are added up in 64 bits. Lanes are stored
// unaligned: GCC cannot promise 32-byte stack alignment on 64-bit Windows.
constexpr u64 max_run_bytes = 4096;

void finish_run(u32& a, u32& b, u64 width, u64 vectors, u64 byte_sum, u64 prefix_sum, u64 weighted_sum) {
  const u64 new_b = b + width * (vectors * a + prefix_sum) + weighted_sum;
  b = static_cast<u32>(new_b % adler32_modulus);
  a = static_cast<u32>((a + byte_sum) % adler32_modulus);
}

__attribute__((target("ssse3"))) u64 lane_sum(__m128i lanes) {
  u32 values[4];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(values), lanes);
  return u64{values[0]} + values[1] + values[2] + values[3];
}

__attribute__((target("ssse3"))) u64 add_ssse3(u32& a, u32& b, const u8* data, u64 size) {
  const __m128i weights = _mm_setr_epi8(16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
  const __m128i ones = _mm_set1_epi16(1);
  const __m128i zero = _mm_setzero_si128();
  u64 done = 0;
  while (size - done >= 16) {
    const u64 left = (size - done) / 16;
    const u64 vectors = left < max_run_bytes / 16 ? left : max_run_bytes / 16;
    __m128i bytes = zero, prefix = zero, weighted = zero;
    for (u64 i = 0; i < vectors; ++i, done += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + done));
      prefix = _mm_add_epi32(prefix, bytes);
      bytes = _mm_add_epi32(bytes, _mm_sad_epu8(v, zero));
      weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_maddubs_epi16(v, weights), ones));
    }
    finish_run(a, b, 16, vectors, lane_sum(bytes), lane_sum(prefix), lane_sum(weighted));
  }
  return done;
}

__attribute__((target("avx2"))) u64 lane_sum(__m256i lanes) {
  u32 values[8];
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(values), lanes);
  u64 sum = 0;
  for (u32 value : values) sum += value;
  return sum;
}

__attribute__((target("avx2"))) u64 add_avx2(u32& a, u32& b, const u8* data, u64 size) {
  const __m256i weights = _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14,
                                           13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
  const __m256i ones = _mm256_set1_epi16(1);
  const __m256i zero = _mm256_setzero_si256();
  u64 done = 0;
  while (size - done >= 32) {
    const u64 left = (size - done) / 32;
    const u64 vectors = left < max_run_bytes / 32 ? left : max_run_bytes / 32;
    __m256i bytes = zero, prefix = zero, weighted = zero;
    for (u64 i = 0; i < vectors; ++i, done += 32) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + done));
      prefix = _mm256_add_epi32(prefix, bytes);
      bytes = _mm256_add_epi32(bytes, _mm256_sad_epu8(v, zero));
      weighted = _mm256_add_epi32(weighted, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
    }
    finish_run(a, b, 32, vectors, lane_sum(bytes), lane_sum(prefix), lane_sum(weighted));
  }
  return done;
}

bool has_avx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

bool has_ssse3() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("ssse3");
}

// Widest first.
constexpr adler32_vector_kind_t kinds[] = {
    {"avx2", has_avx2, add_avx2},
    {"ssse3", has_ssse3, add_ssse3},
    {nullptr, nullptr, nullptr},
};

} // namespace

#else

constexpr adler32_vector_kind_t kinds[] = {{nullptr, nullptr, nullptr}};

#endif

namespace {

using add_vectors_t = u64 (*)(u32&, u32&, const u8*, u64);

add_vectors_t widest_available() {
  for (const adler32_vector_kind_t* kind = kinds; kind->name; ++kind)
    if (kind->available()) return kind->add;
  return nullptr;
}

} // namespace

const adler32_vector_kind_t* adler32_vector_kinds() { return kinds; }

u64 adler32_add_vectors(u32& a, u32& b, const u8* data, u64 size) {
  static const add_vectors_t add = widest_available();
  return add ? add(a, b, data, size) : 0;
}

} // namespace orvo::patch
