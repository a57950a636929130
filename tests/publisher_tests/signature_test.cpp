// Container signatures, checked with Crypto++ directly (ktlpack_reading_test opens them as the updater does).
#include "publisher_test_support.h"

#include "tools/publisher/manifest_packer.h"
#include "tools/publisher/rsa_keys.h"

#include <cryptopp/files.h>
#include <cryptopp/rsa.h>
#include <cryptopp/sha.h>


namespace orvo::publisher::testing {
namespace {

class signature_test : public publisher_test_t {
protected:
  void SetUp() override {
    publisher_test_t::SetUp();
    write_bytes(file("data.bin"), random_bytes(600000, 7));
    write_text(file("manifest.txt"), "layout kora 1\nfile a.bin @data.bin\ndiff a lzm2 data.bin\n"
                                     "patch empty @data.bin a\n");
    ASSERT_TRUE(load_manifest(file("manifest.txt"), manifest_));
    ASSERT_TRUE(load_private_key(dev_key_path("dev-private.key"), private_key_));
    CryptoPP::FileSource source(dev_key_path("dev-public.der").string().c_str(), true);
    public_key_.BERDecode(source);
  }

  bytes_t pack(bool signed_container) {
    EXPECT_TRUE(pack_manifest(manifest_, file("out.ktlc"), signed_container ? &private_key_ : nullptr));
    return read_bytes(file("out.ktlc"));
  }

  // Checks the signature from first principles: header with a zeroed signature field, then the rest.
  bool crypto_verifies(const bytes_t& container) const {
    bytes_t message = container;
    std::fill(message.begin() + 156, message.begin() + 668, 0);
    CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Verifier verifier(public_key_);
    return verifier.VerifyMessage(message.data(), message.size(), container.data() + 156, 512);
  }

  manifest_t manifest_;
  CryptoPP::RSA::PrivateKey private_key_;
  CryptoPP::RSA::PublicKey public_key_;
};

TEST_F(signature_test, signature_covers_header_and_body) {
  const bytes_t container = pack(true);
  ASSERT_GT(container.size(), 600000u);
  EXPECT_TRUE(crypto_verifies(container));

  // One byte flipped anywhere the signature covers, or in the signature itself.
  for (u64 offset : {u64(4), u64(40), u64(155), u64(156), u64(667), u64(668), u64(container.size() / 2),
                     u64(container.size() - 1)}) {
    bytes_t changed = container;
    changed[offset] ^= 0x01;
    EXPECT_FALSE(crypto_verifies(changed)) << offset;
  }
}

TEST_F(signature_test, unsigned_container_leaves_key_fields_blank) {
  const bytes_t container = pack(false);
  EXPECT_TRUE(std::all_of(container.begin() + 8, container.begin() + 668, [](u8 b) { return b == 0; }));
}

TEST_F(signature_test, failed_pack_leaves_no_container) {
  write_bytes(file("out.ktlc"), bytes_t{1, 2, 3});
  std::filesystem::remove(file("data.bin"));
  EXPECT_FALSE(pack_manifest(manifest_, file("out.ktlc"), &private_key_));
  EXPECT_EQ(read_bytes(file("out.ktlc")), (bytes_t{1, 2, 3}));
  EXPECT_FALSE(std::filesystem::exists(file("out.ktlc.partial")));
  EXPECT_TRUE(logged("manifest.txt(2)"));
}

} // namespace
} // namespace orvo::publisher::testing
