#pragma once
#include "ovcore/crypto/rsa_public_key.h"

namespace orvo {

// The public key chosen at build time (DER SubjectPublicKeyInfo); its length is 0 when the
// build had none, and then it matches no container.
const rsa_public_key_t& builtin_public_key();

} // namespace orvo
