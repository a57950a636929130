#pragma once
#include "ovcore/types.h"

namespace orvo {

// HMAC-SHA-256 key of the first step of deriving a content key's id; the same for every key.
// Changing it renames every key id, so containers with keyed diffs and their readers must agree.
inline constexpr u8 key_derivation_key[16] = {
    0x06, 0x14, 0xCA, 0xE8, 0x61, 0xDB, 0xFE, 0x20, 0x13, 0xD0, 0x2E, 0xB4, 0x8A, 0x2A, 0xC5, 0x51,
};

// Message of the second derivation step, hashed without a terminating NUL.
inline constexpr char key_id_label[] = "diffcontentkey";
inline constexpr u32 key_id_label_length = 14;

} // namespace orvo
