#include "fuzz_signer.h"

#include "patch/container_format.h"

#include <cryptopp/osrng.h>
#include <cryptopp/queue.h>
#include <cryptopp/rsa.h>
#include <cryptopp/sha.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace orvo::fuzz {

namespace {

using CryptoPP::Integer;

constexpr unsigned prime_count = 16;
constexpr unsigned prime_bits = 256;
constexpr u32 digest_size = 32;
// DER DigestInfo header of a SHA-256 digest (RFC 8017, 9.2).
constexpr u8 sha256_digest_info[] = {0x30, 0x31, 0x30, 0x0d, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01,
                                     0x65, 0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20};

// Primes above 0.96 * 2^256: sixteen of them multiply to exactly 4096 bits.
std::vector<Integer> make_primes(const Integer& public_exponent) {
  CryptoPP::AutoSeededRandomPool rng;
  const Integer top = Integer::Power2(prime_bits);
  const Integer low = top - top / 25;
  std::vector<Integer> primes;
  while (primes.size() < prime_count) {
    Integer prime;
    if (!prime.Randomize(rng, low, top - 1, Integer::PRIME)) continue;
    if (Integer::Gcd(public_exponent, prime - 1) != Integer::One()) continue;
    if (std::find(primes.begin(), primes.end(), prime) == primes.end()) primes.push_back(prime);
  }
  return primes;
}

// EMSA-PKCS1-v1_5 encoding of the SHA-256 digest of message, as wide as the modulus.
Integer encode_message(const std::vector<u8>& message) {
  std::vector<u8> encoded(patch::header_signature_size, 0xFF);
  encoded[0] = 0x00;
  encoded[1] = 0x01;
  u8* digest = encoded.data() + encoded.size() - digest_size;
  u8* info = digest - sizeof sha256_digest_info;
  info[-1] = 0x00;
  std::memcpy(info, sha256_digest_info, sizeof sha256_digest_info);
  CryptoPP::SHA256().CalculateDigest(digest, message.data(), message.size());
  return Integer(encoded.data(), encoded.size());
}

} // namespace

fuzz_signer_t::fuzz_signer_t() {
  const Integer public_exponent(65537);
  const std::vector<Integer> primes = make_primes(public_exponent);
  modulus_ = Integer::One();
  for (const Integer& prime : primes) modulus_ *= prime;
  for (const Integer& prime : primes) {
    const Integer others = modulus_ / prime;
    factors_.push_back({prime, public_exponent.InverseMod(prime - 1), others * others.InverseMod(prime) % modulus_});
  }

  CryptoPP::RSA::PublicKey key;
  key.Initialize(modulus_, public_exponent);
  CryptoPP::ByteQueue queue;
  key.DEREncode(queue);
  der_.resize(queue.MaxRetrievable());
  queue.Get(der_.data(), der_.size());
  record_ = {"fuzz key", false, der_.data(), static_cast<u32>(der_.size())};
  if (modulus_.BitCount() != 8 * patch::header_signature_size || !compute_key_fingerprint(record_, fingerprint_.data()))
    std::abort();
}

void fuzz_signer_t::sign(std::vector<u8>& container) const {
  std::memcpy(container.data() + patch::header_fingerprint_offset, fingerprint_.data(), fingerprint_.size());
  std::memset(container.data() + patch::header_signature_offset, 0, patch::header_signature_size);
  const Integer message = encode_message(container);
  Integer signature = Integer::Zero();
  for (const factor_t& factor : factors_)
    signature += a_exp_b_mod_c(message % factor.prime, factor.exponent, factor.prime) * factor.coefficient;
  signature %= modulus_;
  signature.Encode(container.data() + patch::header_signature_offset, patch::header_signature_size);
}

const fuzz_signer_t& fuzz_signer() {
  static const fuzz_signer_t signer;
  return signer;
}

} // namespace orvo::fuzz
