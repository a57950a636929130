#pragma once
#include "ovcore/crypto/rsa_public_key.h"

#include <cryptopp/rsa.h>

namespace orvo {

// Decodes a key record by its format flag; false (never an exception) when it does not decode.
bool decode_rsa_public_key(const rsa_public_key_t& record, CryptoPP::RSA::PublicKey& out);

} // namespace orvo
