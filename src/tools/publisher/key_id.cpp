#include "tools/publisher/key_id.h"

#include "ovcore/crypto/key_derivation_constants.h"
#include "ovcore/messages/messages.h"

#include <cryptopp/hmac.h>
#include <cryptopp/misc.h>
#include <cryptopp/sha.h>

namespace orvo::publisher {

bool derive_key_id(content_hash_t& out, const aes_key_t& key) {
  u8 prk[CryptoPP::SHA256::DIGESTSIZE];
  bool derived = false;
  try {
    CryptoPP::HMAC<CryptoPP::SHA256> hmac(key_derivation_key, sizeof(key_derivation_key));
    hmac.Update(key.data(), key.size());
    hmac.TruncatedFinal(prk, sizeof(prk));
    hmac.SetKey(prk, sizeof(prk));
    hmac.Update(reinterpret_cast<const u8*>(key_id_label), key_id_label_length);
    hmac.TruncatedFinal(out.data(), out.size());
    derived = true;
  } catch (const CryptoPP::Exception&) {
    log_error("Unable to derive key.");
  }
  CryptoPP::SecureWipeBuffer(prk, sizeof(prk));
  return derived;
}

} // namespace orvo::publisher
