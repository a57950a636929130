#pragma once
#include "ovcore/types.h"

namespace orvo {

// HMAC key from which content key ids are derived; the same for every key.
inline constexpr u8 key_derivation_key[16] = {0x6B, 0x74, 0x6C, 0x2D, 0x6B, 0x69, 0x64, 0x2D,
                                              0x9E, 0x37, 0x79, 0xB9, 0x7F, 0x4A, 0x7C, 0x15};

} // namespace orvo
