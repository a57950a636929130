#include "support/test_keys.h"

#include <cryptopp/osrng.h>
#include <cryptopp/queue.h>
#include <cryptopp/sha.h>

namespace orvo::test {

namespace {

test_key_t make_key(unsigned bits) {
  CryptoPP::AutoSeededRandomPool rng;
  test_key_t key;
  key.private_key.GenerateRandomWithKeySize(rng, bits);
  CryptoPP::RSA::PublicKey public_key(key.private_key);
  CryptoPP::ByteQueue queue;
  public_key.DEREncode(queue);
  key.der.resize(queue.MaxRetrievable());
  queue.Get(key.der.data(), key.der.size());
  key.openpgp = openpgp_mpi(public_key.GetModulus());
  const std::vector<u8> exponent = openpgp_mpi(public_key.GetPublicExponent());
  key.openpgp.insert(key.openpgp.end(), exponent.begin(), exponent.end());
  CryptoPP::SHA1().CalculateDigest(key.fingerprint.data(), key.openpgp.data(), key.openpgp.size());
  key.der_record = {"test key", false, key.der.data(), static_cast<u32>(key.der.size())};
  key.openpgp_record = {"test key", true, key.openpgp.data(), static_cast<u32>(key.openpgp.size())};
  return key;
}

} // namespace

std::vector<u8> openpgp_mpi(const CryptoPP::Integer& value) {
  const unsigned bits = value.BitCount();
  std::vector<u8> out = {static_cast<u8>(bits >> 8), static_cast<u8>(bits)};
  const size_t bytes = (bits + 7) / 8;
  for (size_t i = bytes; i-- > 0;) out.push_back(value.GetByte(i));
  return out;
}

const test_key_t& test_key_4096() {
  static const test_key_t key = make_key(4096);
  return key;
}

const test_key_t& test_key_2048() {
  static const test_key_t key = make_key(2048);
  return key;
}

} // namespace orvo::test
