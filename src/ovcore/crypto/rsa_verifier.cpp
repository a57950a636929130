#include "ovcore/crypto/rsa_verifier.h"

#include "ovcore/crypto/rsa_key_decoding.h"
#include "ovcore/messages/messages.h"

#include <cryptopp/pssr.h>
#include <cryptopp/sha.h>

#include <exception>
#include <new>

namespace orvo {

namespace {

using verifier_scheme_t = CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Verifier;

class rsa_verifier_impl_t final : public rsa_verifier_t {
public:
  explicit rsa_verifier_impl_t(const CryptoPP::RSA::PublicKey& key) : verifier(key) {}
  verifier_scheme_t verifier;
};

class rsa_message_accumulator_impl_t final : public rsa_message_accumulator_t {
public:
  void update(const void* data, u32 length) override {
    if (!length) return;
    try {
      accumulator.Update(static_cast<const CryptoPP::byte*>(data), length);
    } catch (const std::exception&) {
      failed = true;
    }
  }
  CryptoPP::PK_MessageAccumulatorImpl<CryptoPP::SHA256> accumulator;
  // An update failed: the message can no longer verify.
  bool failed = false;
};

bool verify_accumulated(const void* signature, u32 length, verifier_scheme_t& verifier,
                        rsa_message_accumulator_impl_t& message) {
  try {
    if (verifier.SignatureLength() != length) return false;
    ORVO_CHECK(!verifier.SignatureUpfront(), "Unsupported verifier.");
    // Crypto++ reduces the signature modulo n; an unreduced one is a second form of the same
    // signature and is refused.
    const CryptoPP::Integer value(static_cast<const CryptoPP::byte*>(signature), length);
    if (value >= verifier.GetKey().GetModulus()) return false;
    verifier.InputSignature(message.accumulator, static_cast<const CryptoPP::byte*>(signature), length);
    return verifier.VerifyAndRestart(message.accumulator);
  } catch (const std::exception&) {
    return false;
  }
}

} // namespace

auto_ptr_t<rsa_verifier_t> create_rsa_verifier(const rsa_public_key_t& key) {
  CryptoPP::RSA::PublicKey decoded;
  if (!decode_rsa_public_key(key, decoded)) {
    log_error("Public key error.");
    return {};
  }
  try {
    return auto_ptr_t<rsa_verifier_t>(new rsa_verifier_impl_t(decoded));
  } catch (const std::exception&) {
    log_error("Exception while initializing verifier.");
    return {};
  }
}

auto_ptr_t<rsa_message_accumulator_t> create_rsa_message_accumulator() {
  try {
    return auto_ptr_t<rsa_message_accumulator_t>(new rsa_message_accumulator_impl_t());
  } catch (const std::exception&) {
    return {};
  }
}

bool crypto_verify(const void* signature, u32 length, rsa_verifier_t& verifier,
                   auto_ptr_t<rsa_message_accumulator_t>& accumulator) {
  auto_ptr_t<rsa_message_accumulator_t> message(std::move(accumulator));
  if (!message) return false;
  auto& impl = static_cast<rsa_message_accumulator_impl_t&>(*message);
  if (impl.failed) return false;
  return verify_accumulated(signature, length, static_cast<rsa_verifier_impl_t&>(verifier).verifier, impl);
}

} // namespace orvo
