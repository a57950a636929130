#pragma once
#include "ovcore/crypto/rsa_public_key.h"

#include <cryptopp/rsa.h>

#include <array>
#include <vector>

namespace orvo::test {

// A key pair made for this test run, with its public half in both record forms.
struct test_key_t {
  CryptoPP::RSA::PrivateKey private_key;
  std::vector<u8> der;
  std::vector<u8> openpgp;
  rsa_public_key_t der_record;
  rsa_public_key_t openpgp_record;
  // SHA-1 over modulus and exponent as OpenPGP MPIs, computed here from the MPI definition.
  std::array<u8, 20> fingerprint;
};

// Generated once per run.
const test_key_t& test_key_4096();
const test_key_t& test_key_2048();

// Two-byte big-endian bit count, then the magnitude without leading zero bytes.
std::vector<u8> openpgp_mpi(const CryptoPP::Integer& value);

} // namespace orvo::test
