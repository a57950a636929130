#include "ovcore/crypto/digest_calculator.h"

#include "ovcore/messages/messages.h"

#include <cryptopp/sha.h>

#include <new>

namespace orvo {

namespace {

// Unkeyed hash over Crypto++; update and final of its hashes do not throw.
template <typename HASH>
class digest_calculator_no_key_impl_t final : public digest_calculator_t {
public:
  u32 digest_size() const override { return HASH::DIGESTSIZE; }
  void update(const void* data, u32 length) override {
    if (length) hash_.Update(static_cast<const CryptoPP::byte*>(data), length);
  }
  void finalize(u8* out) override { hash_.TruncatedFinal(out, HASH::DIGESTSIZE); }
  void set_key(const u8*, u32) override {
    ORVO_CHECK(false, "set_key is not supported by this digest calculator.");
  }

private:
  HASH hash_;
};

} // namespace

auto_ptr_t<digest_calculator_t> create_sha256_digest_calculator() {
  return auto_ptr_t<digest_calculator_t>(new (std::nothrow) digest_calculator_no_key_impl_t<CryptoPP::SHA256>());
}

} // namespace orvo
