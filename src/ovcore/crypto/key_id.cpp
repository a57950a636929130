#include "ovcore/crypto/key_id.h"

#include "ovcore/crypto/key_derivation_constants.h"
#include "ovcore/messages/messages.h"

#include <cryptopp/hmac.h>
#include <cryptopp/secblock.h>
#include <cryptopp/sha.h>

#include <cstring>
#include <exception>

namespace orvo {

bool derive_key_id(u8 out[32], const aes_key_t& key, const char* label) {
  try {
    CryptoPP::HMAC<CryptoPP::SHA256> hmac(key_derivation_key, sizeof key_derivation_key);
    hmac.Update(key.bytes, sizeof key.bytes);
    CryptoPP::SecByteBlock prk(CryptoPP::SHA256::DIGESTSIZE);
    hmac.TruncatedFinal(prk, prk.size());
    hmac.SetKey(prk, prk.size());
    hmac.Update(reinterpret_cast<const CryptoPP::byte*>(label), std::strlen(label));
    hmac.TruncatedFinal(out, CryptoPP::SHA256::DIGESTSIZE);
    return true;
  } catch (const std::exception&) {
    log_error("Unable to derive key.");
    return false;
  }
}

} // namespace orvo
