#pragma once
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/types.h"

#include <cryptopp/rsa.h>

#include <array>
#include <filesystem>
#include <string>

namespace orvo::publisher {

// Containers carry 512-byte signatures.
constexpr u32 signing_key_bits = 4096;
constexpr u32 signing_key_exponent = 65537;

using key_fingerprint_t = std::array<u8, rsa_fingerprint_size>;

bool generate_signing_key(CryptoPP::RSA::PrivateKey& out, u32 bits);

// Private keys are stored as DER PKCS #8, public keys as DER X.509 SubjectPublicKeyInfo.
bool save_private_key(const CryptoPP::RSA::PrivateKey& key, const std::filesystem::path& path);
bool load_private_key(const std::filesystem::path& path, CryptoPP::RSA::PrivateKey& out);
// A private key that can sign containers (signing_key_bits); logs what is wrong otherwise.
bool load_signing_key(const std::filesystem::path& path, CryptoPP::RSA::PrivateKey& out);
bool save_public_key(const CryptoPP::RSA::PublicKey& key, const std::filesystem::path& path);
bool load_public_key(const std::filesystem::path& path, CryptoPP::RSA::PublicKey& out);
// DER X.509 SubjectPublicKeyInfo, the form the updater carries.
std::string encode_public_key(const CryptoPP::RSA::PublicKey& key);
bool decode_public_key(const u8* der, size_t size, CryptoPP::RSA::PublicKey& out);

// The fingerprint a signed container's header carries (orvo::compute_key_fingerprint).
bool compute_key_fingerprint(const CryptoPP::RSA::PublicKey& key, key_fingerprint_t& out);

} // namespace orvo::publisher
