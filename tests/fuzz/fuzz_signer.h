#pragma once
// Signs fuzzed containers so that the reader gets past the signature check quickly. The key's
// modulus is the product of 16 primes of 256 bits: a signature costs 16 small exponentiations
// instead of two of 2048 bits, and a verifier sees an ordinary 4096-bit public key.
#include "ovcore/crypto/rsa_public_key.h"

#include <cryptopp/integer.h>

#include <array>
#include <vector>

namespace orvo::fuzz {

class fuzz_signer_t {
public:
  fuzz_signer_t();

  // The public half, as the reader's key list takes it.
  const rsa_public_key_t& public_key() const { return record_; }

  // Writes the key's fingerprint and an RSASSA-PKCS1-v1_5 SHA-256 signature into the header of
  // container bytes at least as long as a container header.
  void sign(std::vector<u8>& container) const;

private:
  struct factor_t {
    CryptoPP::Integer prime;
    CryptoPP::Integer exponent;     // the private exponent modulo prime - 1
    CryptoPP::Integer coefficient;  // 1 modulo this prime, 0 modulo the others
  };
  CryptoPP::Integer modulus_;
  std::vector<factor_t> factors_;
  std::vector<u8> der_;
  rsa_public_key_t record_{};
  std::array<u8, rsa_fingerprint_size> fingerprint_{};
};

// Made on first use, one per process.
const fuzz_signer_t& fuzz_signer();

} // namespace orvo::fuzz
