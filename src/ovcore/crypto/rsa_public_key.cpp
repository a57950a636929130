#include "ovcore/crypto/rsa_public_key.h"

#include "ovcore/crypto/rsa_key_decoding.h"

#include <cryptopp/filters.h>
#include <cryptopp/sha.h>

#include <cstring>
#include <exception>

namespace orvo {

bool compute_key_fingerprint(const rsa_public_key_t& key, u8 out[rsa_fingerprint_size]) {
  CryptoPP::RSA::PublicKey decoded;
  if (!decode_rsa_public_key(key, decoded)) return false;
  try {
    CryptoPP::SHA1 sha1;
    CryptoPP::HashFilter filter(sha1, new CryptoPP::ArraySink(out, rsa_fingerprint_size));
    decoded.GetModulus().OpenPGPEncode(filter);
    decoded.GetPublicExponent().OpenPGPEncode(filter);
    filter.MessageEnd();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

const rsa_public_key_t* find_public_key(const u8 fingerprint[rsa_fingerprint_size],
                                        const array_t<const rsa_public_key_t*>& keys) {
  for (const rsa_public_key_t* key : keys) {
    u8 candidate[rsa_fingerprint_size];
    if (!key || !compute_key_fingerprint(*key, candidate)) continue;
    if (std::memcmp(candidate, fingerprint, rsa_fingerprint_size) == 0) return key;
  }
  return nullptr;
}

} // namespace orvo
