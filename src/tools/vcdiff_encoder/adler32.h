#pragma once
#include "ovcore/types.h"

namespace orvo::vcdiff {

// Adler-32 of a byte range (RFC 1950), starting value 1.
u32 adler32(const u8* data, size_t length);

} // namespace orvo::vcdiff
