#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/types.h"

namespace orvo {

// A public key built into the program as static data.
struct rsa_public_key_t {
  const char* description;
  // false: DER X.509 SubjectPublicKeyInfo; true: OpenPGP MPIs, modulus then exponent.
  bool openpgp_format;
  const u8* bytes;
  u32 length;
};

constexpr u32 rsa_fingerprint_size = 20;

// SHA-1 of the key re-encoded as OpenPGP MPIs; false when the key does not decode.
bool compute_key_fingerprint(const rsa_public_key_t& key, u8 out[rsa_fingerprint_size]);

// The first decodable record whose fingerprint matches, or null.
const rsa_public_key_t* find_public_key(const u8 fingerprint[rsa_fingerprint_size],
                                        const array_t<const rsa_public_key_t*>& keys);

} // namespace orvo
