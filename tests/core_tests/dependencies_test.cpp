// Both builds link Crypto++ and liblzma.
#include <cryptopp/hex.h>
#include <cryptopp/sha.h>
#include <gtest/gtest.h>
#include <lzma.h>

#include <string>

TEST(dependencies, sha256_of_known_text) {
  const std::string text = "abc";
  CryptoPP::SHA256 sha;
  unsigned char digest[CryptoPP::SHA256::DIGESTSIZE];
  sha.CalculateDigest(digest, reinterpret_cast<const unsigned char*>(text.data()), text.size());
  std::string hex;
  CryptoPP::StringSource(digest, sizeof(digest), true, new CryptoPP::HexEncoder(new CryptoPP::StringSink(hex)));
  EXPECT_EQ(hex, "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
}

TEST(dependencies, decodes_small_xz_buffer) {
  // "hello\n" compressed by xz -9 with CRC64.
  const unsigned char xz[] = {
      0xfd, 0x37, 0x7a, 0x58, 0x5a, 0x00, 0x00, 0x04, 0xe6, 0xd6, 0xb4, 0x46, 0x02, 0x00, 0x21, 0x01,
      0x1c, 0x00, 0x00, 0x00, 0x10, 0xcf, 0x58, 0xcc, 0x01, 0x00, 0x05, 0x68, 0x65, 0x6c, 0x6c, 0x6f,
      0x0a, 0x00, 0x00, 0x00, 0xa5, 0x60, 0x97, 0xf1, 0x94, 0xf6, 0xfd, 0xe0, 0x00, 0x01, 0x1e, 0x06,
      0xc1, 0x2f, 0xa4, 0x1d, 0x1f, 0xb6, 0xf3, 0x7d, 0x01, 0x00, 0x00, 0x00, 0x00, 0x04, 0x59, 0x5a};
  lzma_stream stream = LZMA_STREAM_INIT;
  ASSERT_EQ(lzma_stream_decoder(&stream, UINT64_MAX, 0), LZMA_OK);
  unsigned char out[64] = {};
  stream.next_in = xz;
  stream.avail_in = sizeof(xz);
  stream.next_out = out;
  stream.avail_out = sizeof(out);
  EXPECT_EQ(lzma_code(&stream, LZMA_FINISH), LZMA_STREAM_END);
  lzma_end(&stream);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), sizeof(out) - stream.avail_out), "hello\n");
}
