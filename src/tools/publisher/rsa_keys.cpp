#include "tools/publisher/rsa_keys.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/file_io.h"

#include <cryptopp/osrng.h>
#include <cryptopp/queue.h>

#include <string>

namespace orvo::publisher {

namespace {

constexpr u64 max_key_file_size = 65536;

template <typename key_t> bool encode_to_file(const key_t& key, const std::filesystem::path& path) {
  std::string der;
  try {
    CryptoPP::StringSink sink(der);
    key.DEREncode(sink);
  } catch (const CryptoPP::Exception& error) {
    log_error("[ERR] Unable to encode the key for '%s': %s", path_text(path).c_str(), error.what());
    return false;
  }
  return write_small_file(path, der.data(), der.size());
}

} // namespace

bool generate_signing_key(CryptoPP::RSA::PrivateKey& out, u32 bits) {
  try {
    CryptoPP::AutoSeededRandomPool rng;
    out.Initialize(rng, bits, signing_key_exponent);
    return true;
  } catch (const CryptoPP::Exception& error) {
    log_error("[ERR] Unable to generate a %u-bit key: %s", bits, error.what());
    return false;
  }
}

bool save_private_key(const CryptoPP::RSA::PrivateKey& key, const std::filesystem::path& path) {
  return encode_to_file(key, path);
}

bool save_public_key(const CryptoPP::RSA::PublicKey& key, const std::filesystem::path& path) {
  return encode_to_file(key, path);
}

bool load_private_key(const std::filesystem::path& path, CryptoPP::RSA::PrivateKey& out) {
  std::string der;
  if (!read_small_file(path, der, max_key_file_size)) return false;
  try {
    CryptoPP::StringSource source(der, true);
    out.BERDecode(source);
    CryptoPP::AutoSeededRandomPool rng;
    if (!source.AnyRetrievable() && out.Validate(rng, 1)) return true;
  } catch (const CryptoPP::Exception&) {
  }
  log_error("[ERR] '%s' is not a DER PKCS #8 RSA private key", path_text(path).c_str());
  return false;
}

bool load_signing_key(const std::filesystem::path& path, CryptoPP::RSA::PrivateKey& out) {
  if (!load_private_key(path, out)) return false;
  if (out.GetModulus().BitCount() == signing_key_bits) return true;
  log_error("[ERR] The key '%s' has %u bits; containers need a %u-bit key", path_text(path).c_str(),
            out.GetModulus().BitCount(), signing_key_bits);
  return false;
}

bool decode_public_key(const u8* der, size_t size, CryptoPP::RSA::PublicKey& out) {
  try {
    CryptoPP::StringSource source(der, size, true);
    out.BERDecode(source);
    CryptoPP::AutoSeededRandomPool rng;
    if (!source.AnyRetrievable() && out.Validate(rng, 1)) return true;
  } catch (const CryptoPP::Exception&) {
  }
  log_error("Public key error.");
  return false;
}

bool load_public_key(const std::filesystem::path& path, CryptoPP::RSA::PublicKey& out) {
  std::string der;
  if (!read_small_file(path, der, max_key_file_size)) return false;
  if (decode_public_key(reinterpret_cast<const u8*>(der.data()), der.size(), out)) return true;
  log_error("[ERR] '%s' is not a DER SubjectPublicKeyInfo RSA public key", path_text(path).c_str());
  return false;
}

std::string encode_public_key(const CryptoPP::RSA::PublicKey& key) {
  std::string der;
  try {
    // The public part alone: a private key passed here would encode as PKCS #8.
    CryptoPP::RSA::PublicKey public_part;
    public_part.Initialize(key.GetModulus(), key.GetPublicExponent());
    CryptoPP::StringSink sink(der);
    public_part.DEREncode(sink);
  } catch (const CryptoPP::Exception& error) {
    log_error("[ERR] Unable to encode the public key: %s", error.what());
    der.clear();
  }
  return der;
}

// The updater's own fingerprint, over the key in the form the updater carries.
bool compute_key_fingerprint(const CryptoPP::RSA::PublicKey& key, key_fingerprint_t& out) {
  const std::string der = encode_public_key(key);
  if (der.empty()) return false;
  const rsa_public_key_t record = {"signing key", false, reinterpret_cast<const u8*>(der.data()),
                                   static_cast<u32>(der.size())};
  if (orvo::compute_key_fingerprint(record, out.data())) return true;
  log_error("[ERR] Unable to compute the key's fingerprint");
  return false;
}

} // namespace orvo::publisher
