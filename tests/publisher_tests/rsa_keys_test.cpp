// Signing keys: generation, files and fingerprints.
#include "publisher_test_support.h"

#include "tools/publisher/rsa_keys.h"

#include <cryptopp/osrng.h>

namespace orvo::publisher::testing {
namespace {

class rsa_keys_test : public publisher_test_t {};

TEST_F(rsa_keys_test, generated_pair_round_trips_through_its_files) {
  CryptoPP::RSA::PrivateKey key;
  ASSERT_TRUE(generate_signing_key(key, signing_key_bits));
  EXPECT_EQ(key.GetModulus().BitCount(), 4096u);
  EXPECT_EQ(key.GetPublicExponent(), CryptoPP::Integer(65537));
  ASSERT_TRUE(save_private_key(key, file("k.key")));
  ASSERT_TRUE(save_public_key(CryptoPP::RSA::PublicKey(key), file("k.der")));
  EXPECT_EQ(read_bytes(file("k.der")).size(), 550u);

  CryptoPP::RSA::PrivateKey loaded_private;
  CryptoPP::RSA::PublicKey loaded_public;
  ASSERT_TRUE(load_private_key(file("k.key"), loaded_private));
  ASSERT_TRUE(load_public_key(file("k.der"), loaded_public));
  EXPECT_EQ(loaded_private.GetPrivateExponent(), key.GetPrivateExponent());
  EXPECT_EQ(loaded_public.GetModulus(), key.GetModulus());

  key_fingerprint_t from_private, from_public;
  ASSERT_TRUE(compute_key_fingerprint(key, from_private));
  ASSERT_TRUE(compute_key_fingerprint(loaded_public, from_public));
  EXPECT_EQ(from_private, from_public);
}

TEST_F(rsa_keys_test, development_key_fingerprint) {
  CryptoPP::RSA::PublicKey key;
  ASSERT_TRUE(load_public_key(dev_key_path("dev-public.der"), key));
  key_fingerprint_t fingerprint;
  ASSERT_TRUE(compute_key_fingerprint(key, fingerprint));
  // SHA-1 of the OpenPGP integers, computed independently of Crypto++.
  EXPECT_EQ(to_hex(fingerprint), "8AF15ED7AB314932F07EFD09B8C9FF4BB87C2488");
}

TEST_F(rsa_keys_test, malformed_key_files_are_refused) {
  write_bytes(file("junk.der"), random_bytes(550, 3));
  CryptoPP::RSA::PublicKey public_key;
  EXPECT_FALSE(load_public_key(file("junk.der"), public_key));
  EXPECT_TRUE(logged("is not a DER SubjectPublicKeyInfo"));
  CryptoPP::RSA::PrivateKey private_key;
  EXPECT_FALSE(load_private_key(dev_key_path("dev-public.der"), private_key));
  EXPECT_FALSE(load_private_key(file("absent.key"), private_key));
  // A public key with trailing bytes is not accepted either.
  bytes_t padded = read_bytes(dev_key_path("dev-public.der"));
  padded.push_back(0);
  write_bytes(file("padded.der"), padded);
  EXPECT_FALSE(load_public_key(file("padded.der"), public_key));
}

} // namespace
} // namespace orvo::publisher::testing
