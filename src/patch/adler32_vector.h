#pragma once
#include "ovcore/types.h"

namespace orvo::patch {

constexpr u32 adler32_modulus = 65521;
// Largest run of bytes whose sums cannot overflow 32 bits before the reduction.
constexpr u32 adler32_max_run = 5552;

// Adds a leading part of data with the widest vector instructions the processor has and returns
// its length (0 without such instructions); a and b come back reduced.
u64 adler32_add_vectors(u32& a, u32& b, const u8* data, u64 size);

// One kind of vector instructions, for checking each against the others.
struct adler32_vector_kind_t {
  const char* name;
  bool (*available)();
  u64 (*add)(u32& a, u32& b, const u8* data, u64 size);
};
// The kinds this build knows, whether or not the processor has them; null-terminated.
const adler32_vector_kind_t* adler32_vector_kinds();

} // namespace orvo::patch
