// Public key records, fingerprints and the verifier wrappers.
#include "ovcore/crypto/builtin_public_key.h"
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/crypto/rsa_verifier.h"
#include "common/log_capture.h"
#include "support/test_keys.h"

#include <cryptopp/osrng.h>
#include <cryptopp/pssr.h>
#include <cryptopp/sha.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace orvo;
using namespace orvo::test;

namespace {

std::vector<u8> sign(const test_key_t& key, const std::string& message) {
  CryptoPP::AutoSeededRandomPool rng;
  CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Signer signer(key.private_key);
  std::vector<u8> signature(signer.SignatureLength());
  signer.SignMessage(rng, reinterpret_cast<const u8*>(message.data()), message.size(), signature.data());
  return signature;
}

bool verify(const test_key_t& key, const std::string& message, const std::vector<u8>& signature, u32 length) {
  auto_ptr_t<rsa_verifier_t> verifier = create_rsa_verifier(key.der_record);
  auto_ptr_t<rsa_message_accumulator_t> accumulator = create_rsa_message_accumulator();
  if (!verifier || !accumulator) return false;
  accumulator->update(message.data(), static_cast<u32>(message.size()));
  accumulator->update(nullptr, 0);
  const bool verdict = crypto_verify(signature.data(), length, *verifier, accumulator);
  EXPECT_FALSE(accumulator);
  return verdict;
}

} // namespace

TEST(rsa_public_key, fingerprint_is_the_same_for_both_forms) {
  const test_key_t& key = test_key_4096();
  u8 from_der[20], from_openpgp[20];
  ASSERT_TRUE(compute_key_fingerprint(key.der_record, from_der));
  ASSERT_TRUE(compute_key_fingerprint(key.openpgp_record, from_openpgp));
  EXPECT_EQ(std::memcmp(from_der, key.fingerprint.data(), 20), 0);
  EXPECT_EQ(std::memcmp(from_openpgp, key.fingerprint.data(), 20), 0);
}

TEST(rsa_public_key, records_that_do_not_decode) {
  const test_key_t& key = test_key_4096();
  std::vector<u8> trailing = key.der;
  trailing.push_back(0);
  std::vector<u8> truncated(key.der.begin(), key.der.end() - 1);
  std::vector<u8> openpgp_trailing = key.openpgp;
  openpgp_trailing.push_back(0);
  std::vector<u8> openpgp_short(key.openpgp.begin(), key.openpgp.end() - 1);
  const rsa_public_key_t broken[] = {
      {"", false, trailing.data(), static_cast<u32>(trailing.size())},
      {"", false, truncated.data(), static_cast<u32>(truncated.size())},
      {"", true, openpgp_trailing.data(), static_cast<u32>(openpgp_trailing.size())},
      {"", true, openpgp_short.data(), static_cast<u32>(openpgp_short.size())},
      {"", true, key.der.data(), static_cast<u32>(key.der.size())},
      {"", false, nullptr, 0},
  };
  orvo::testing::log_capture_t log;
  for (const rsa_public_key_t& record : broken) {
    u8 fingerprint[20];
    EXPECT_FALSE(compute_key_fingerprint(record, fingerprint));
    log.lines.clear();
    EXPECT_FALSE(create_rsa_verifier(record));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Public key error."});
  }
}

TEST(rsa_public_key, find_returns_the_first_decodable_match) {
  const test_key_t& key = test_key_4096();
  const u8 garbage[] = {1, 2, 3};
  const rsa_public_key_t broken = {"", true, garbage, sizeof garbage};
  array_dyn_t<const rsa_public_key_t*> keys;
  EXPECT_EQ(find_public_key(key.fingerprint.data(), keys), nullptr);
  keys.push(&broken);
  keys.push(nullptr);
  keys.push(&test_key_2048().der_record);
  keys.push(&key.openpgp_record);
  keys.push(&key.der_record);
  EXPECT_EQ(find_public_key(key.fingerprint.data(), keys), &key.openpgp_record);
  u8 other[20];
  std::memcpy(other, key.fingerprint.data(), 20);
  other[19] ^= 1;
  EXPECT_EQ(find_public_key(other, keys), nullptr);
}

TEST(crypto_verify, verdicts_and_the_length_rule) {
  const test_key_t& key = test_key_4096();
  const std::vector<u8> signature = sign(key, "message");
  ASSERT_EQ(signature.size(), 512u);
  EXPECT_TRUE(verify(key, "message", signature, 512));
  EXPECT_FALSE(verify(key, "messagE", signature, 512));
  EXPECT_FALSE(verify(key, "message", signature, 511));
  std::vector<u8> flipped = signature;
  flipped[0] ^= 0x80;
  EXPECT_FALSE(verify(key, "message", flipped, 512));
  std::vector<u8> all_ones(512, 0xFF);
  EXPECT_FALSE(verify(key, "message", all_ones, 512));

  const std::vector<u8> short_signature = sign(test_key_2048(), "message");
  EXPECT_TRUE(verify(test_key_2048(), "message", short_signature, 256));
  std::vector<u8> in_field = short_signature;
  in_field.resize(512);
  EXPECT_FALSE(verify(test_key_2048(), "message", in_field, 512));
}

TEST(crypto_verify, empty_accumulator_owner_is_rejected) {
  auto_ptr_t<rsa_verifier_t> verifier = create_rsa_verifier(test_key_4096().der_record);
  ASSERT_TRUE(verifier);
  auto_ptr_t<rsa_message_accumulator_t> none;
  const u8 signature[512] = {};
  EXPECT_FALSE(crypto_verify(signature, 512, *verifier, none));
}

TEST(builtin_public_key, is_a_4096_bit_der_key) {
  const rsa_public_key_t& key = builtin_public_key();
  if (key.length == 0) GTEST_SKIP() << "this build has no built-in public key (ORVO_PUBLIC_KEY file missing)";
  EXPECT_FALSE(key.openpgp_format);
  EXPECT_EQ(key.length, 550u);
  u8 fingerprint[20];
  EXPECT_TRUE(compute_key_fingerprint(key, fingerprint));
  EXPECT_TRUE(create_rsa_verifier(key));
}
