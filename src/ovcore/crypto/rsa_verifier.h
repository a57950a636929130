#pragma once
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/types.h"

namespace orvo {

// RSASSA-PKCS1-v1_5 SHA-256 verifier loaded with one public key.
class rsa_verifier_t {
public:
  virtual ~rsa_verifier_t() = default;

protected:
  rsa_verifier_t() = default;
  rsa_verifier_t(const rsa_verifier_t&) = delete;
  rsa_verifier_t& operator=(const rsa_verifier_t&) = delete;
};

// SHA-256 accumulator of the message to verify.
class rsa_message_accumulator_t {
public:
  virtual ~rsa_message_accumulator_t() = default;
  // A zero length feeds nothing.
  virtual void update(const void* data, u32 length) = 0;

protected:
  rsa_message_accumulator_t() = default;
  rsa_message_accumulator_t(const rsa_message_accumulator_t&) = delete;
  rsa_message_accumulator_t& operator=(const rsa_message_accumulator_t&) = delete;
};

// Empty on failure ("Public key error." or "Exception while initializing verifier." logged).
auto_ptr_t<rsa_verifier_t> create_rsa_verifier(const rsa_public_key_t& key);
// Empty on failure.
auto_ptr_t<rsa_message_accumulator_t> create_rsa_message_accumulator();

// Verdict on the accumulated message. Takes the accumulator out of its owner and destroys it on
// every path. False when the key's signature length is not length.
bool crypto_verify(const void* signature, u32 length, rsa_verifier_t& verifier,
                   auto_ptr_t<rsa_message_accumulator_t>& accumulator);

} // namespace orvo
