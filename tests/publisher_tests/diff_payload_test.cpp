// Diff data as written: .xz payloads decode with liblzma, stored payloads are exact, keyed
// diffs carry the derived key id.
#include "publisher_test_support.h"

#include "tools/publisher/manifest_packer.h"

#include <lzma.h>

namespace orvo::publisher::testing {
namespace {

class diff_payload_test : public publisher_test_t {
protected:
  std::vector<chunk_view_t> pack(const std::string& manifest_text) {
    write_text(file("manifest.txt"), manifest_text);
    manifest_t manifest;
    EXPECT_TRUE(load_manifest(file("manifest.txt"), manifest));
    EXPECT_TRUE(pack_manifest(manifest, file("out.ktlc"), nullptr));
    return split_chunks(read_bytes(file("out.ktlc")));
  }
};

// Decodes one .xz stream as the updater does (no memory limit, no flags); the stream must end
// exactly at the end of the payload.
bool decode_xz(const u8* data, size_t size, bytes_t& out) {
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_stream_decoder(&stream, UINT64_MAX, 0) != LZMA_OK) return false;
  bytes_t buffer(1 << 20);
  stream.next_in = data;
  stream.avail_in = size;
  lzma_ret code = LZMA_OK;
  while (code == LZMA_OK) {
    stream.next_out = buffer.data();
    stream.avail_out = buffer.size();
    code = lzma_code(&stream, LZMA_FINISH);
    out.insert(out.end(), buffer.begin(), buffer.end() - stream.avail_out);
  }
  const bool complete = code == LZMA_STREAM_END && stream.avail_in == 0;
  lzma_end(&stream);
  return complete;
}

TEST_F(diff_payload_test, lzm2_and_copy_payloads_of_large_and_empty_files) {
  // Larger than the 1 MiB encoder buffers on both sides: incompressible and repetitive parts.
  bytes_t original = random_bytes(1500000, 3);
  for (u32 i = 0; i < 1200000; ++i) original.push_back(static_cast<u8>(i % 251));
  write_bytes(file("big.bin"), original);
  write_bytes(file("empty.bin"), {});
  const std::vector<chunk_view_t> chunks =
      pack("diff big lzm2 big.bin preset=1\ndiff none lzm2 empty.bin\ndiff zero copy empty.bin\n");
  ASSERT_EQ(chunks.size(), 3u);

  const bytes_t& big = chunks[0].body;
  EXPECT_EQ(le64(big, 40), original.size());
  EXPECT_EQ(text_at(big, 48, 4), "LZM2");
  bytes_t decoded;
  ASSERT_TRUE(decode_xz(big.data() + 56, big.size() - 56, decoded));
  EXPECT_TRUE(decoded == original);

  const bytes_t& none = chunks[1].body;
  EXPECT_EQ(le64(none, 40), 0u);
  decoded.clear();
  ASSERT_TRUE(decode_xz(none.data() + 56, none.size() - 56, decoded));
  EXPECT_TRUE(decoded.empty());

  // A copy of an empty file is a bare block header.
  ASSERT_EQ(chunks[2].size, 16u + 40u + 16u);
  EXPECT_EQ(le64(chunks[2].body, 40), 0u);
  EXPECT_EQ(text_at(chunks[2].body, 48, 4), "COPY");
}

TEST_F(diff_payload_test, xdlt_output_size_can_come_from_the_target_file) {
  write_bytes(file("target.bin"), random_bytes(12345, 4));
  write_bytes(file("d.vcdiff"), random_bytes(99, 5));
  const std::vector<chunk_view_t> chunks = pack("diff d xdlt d.vcdiff target=target.bin\n");
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(le64(chunks[0].body, 40), 12345u);
  EXPECT_EQ(chunks[0].body.size(), 40u + 16u + 99u);
}

TEST_F(diff_payload_test, keyed_diff_begins_with_the_derived_key_id) {
  const std::string key_hex = "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";
  aes_key_t key;
  ASSERT_TRUE(parse_hex(key_hex, key.data(), key.size()));
  // HMAC-SHA-256(HMAC-SHA-256(derivation key, key), "diffcontentkey"), computed independently.
  const std::string key_id = "4E45AD239BABD7B76DC774B452825915D9B0E03191E8FACB9E57DBDBCA7EB9CD";
  const bytes_t content = random_bytes(1000, 6);
  write_bytes(file("dlc.bin"), content);
  write_bytes(file("empty.bin"), {});
  const std::vector<chunk_view_t> chunks =
      pack("key dlc " + key_hex + "\nkeys dlc\ndiff s copy dlc.bin key=dlc\ndiff e copy empty.bin key=dlc\n"
           "meta " + std::string(64, 'b') + " 64 key=dlc\n");
  ASSERT_EQ(chunks.size(), 4u);

  ASSERT_EQ(chunks[0].tag, "KEYS");
  EXPECT_EQ(chunks[0].body, bytes_t(key.begin(), key.end()));

  const bytes_t& keyed = chunks[1].body;
  EXPECT_EQ(keyed[32], 0x01);
  ASSERT_EQ(keyed.size(), 40u + 48u + 16u + content.size());
  EXPECT_EQ(to_hex(hash_at(keyed, 40)), key_id);
  EXPECT_TRUE(std::all_of(keyed.begin() + 72, keyed.begin() + 88, [](u8 b) { return b == 0; }));
  EXPECT_EQ(le64(keyed, 88), content.size());
  EXPECT_EQ(text_at(keyed, 96, 4), "COPY");
  EXPECT_TRUE(std::equal(content.begin(), content.end(), keyed.begin() + 104));
  EXPECT_TRUE(logged("[WRN] Diff 's' is keyed"));

  // The smallest keyed diff still has the 64 bytes of data the reader requires.
  EXPECT_EQ(chunks[2].body.size(), 40u + 64u);

  const bytes_t& meta = chunks[3].body;
  ASSERT_EQ(meta.size(), 40u + 32u);
  EXPECT_EQ(le64(meta, 32), 64u);
  EXPECT_EQ(to_hex(hash_at(meta, 40)), key_id);
}

} // namespace
} // namespace orvo::publisher::testing
