#pragma once
#include "ovcore/types.h"

namespace orvo::patch {

constexpr u32 adler32_initial = 1;

// Adler-32 (RFC 1950) of data, continuing from a previous value.
u32 adler32_update(u32 adler, const u8* data, u64 size);

} // namespace orvo::patch
