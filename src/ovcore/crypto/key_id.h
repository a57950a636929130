#pragma once
#include "ovcore/crypto/key_derivation_constants.h"
#include "ovcore/types.h"

namespace orvo {

// Content key as a KEYS chunk stores it; only its key id is ever computed.
struct aes_key_t {
  u8 bytes[32];
  bool operator==(const aes_key_t& other) const = default;
};
static_assert(sizeof(aes_key_t) == 32);

// out = HMAC-SHA-256(HMAC-SHA-256(derivation key, key), label). Logs and returns false on failure.
bool derive_key_id(u8 out[32], const aes_key_t& key, const char* label);

} // namespace orvo
