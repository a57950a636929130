#include "ovcore/memory/block_copy.h"

#include <xmmintrin.h>

#include <cstring>

namespace orvo {

block_copy_t block_copy = block_copy_plain;

void block_copy_plain(void* destination, const void* source, size_t size) {
  if (size) std::memcpy(destination, source, size);
}

// 64 bytes per step through unaligned 16-byte moves; the tail goes byte-wise through memcpy.
__attribute__((target("sse"))) void block_copy_sse(void* destination, const void* source, size_t size) {
  auto* out = static_cast<float*>(destination);
  const auto* in = static_cast<const float*>(source);
  for (; size >= 64; size -= 64, out += 16, in += 16) {
    const __m128 a = _mm_loadu_ps(in), b = _mm_loadu_ps(in + 4), c = _mm_loadu_ps(in + 8), d = _mm_loadu_ps(in + 12);
    _mm_storeu_ps(out, a);
    _mm_storeu_ps(out + 4, b);
    _mm_storeu_ps(out + 8, c);
    _mm_storeu_ps(out + 12, d);
  }
  block_copy_plain(out, in, size);
}

void select_block_copy(bool sse) { block_copy = sse ? block_copy_sse : block_copy_plain; }

} // namespace orvo
