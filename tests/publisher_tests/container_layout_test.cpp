// A packed container checked byte by byte against the container format.
#include "publisher_test_support.h"

#include "tools/publisher/manifest_packer.h"
#include "tools/publisher/rsa_keys.h"

#include <cryptopp/rsa.h>

namespace orvo::publisher::testing {
namespace {

class container_layout_test : public publisher_test_t {
protected:
  void SetUp() override {
    publisher_test_t::SetUp();
    content_ = random_bytes(70000, 1);
    config_ = bytes_t(5000, 'c');
    delta_ = random_bytes(300, 2);
    write_bytes(file("new.bin"), content_);
    write_bytes(file("cfg.bin"), config_);
    write_bytes(file("patch.vcdiff"), delta_);
    write_text(file("manifest.txt"),
               "# test container\n"
               "layout kora 1.13.3.7\n"
               "file bin/win_x86/velmora2.exe @new.bin\n"
               "file \"data/old file.dat\" zero\n"
               "layout kora_cfg 2 match=@cfg.bin\n"
               "diff full copy new.bin\n"
               "diff cfg lzm2 cfg.bin preset=1\n"
               "diff delta xdlt patch.vcdiff size=777\n"
               "meta " + std::string(64, 'a') + " 100\n"
               "patch empty @new.bin full\n"
               "patch " + std::string(64, '1') + " @new.bin delta full\n");
    manifest_t manifest;
    ASSERT_TRUE(load_manifest(file("manifest.txt"), manifest));
    ASSERT_TRUE(load_private_key(dev_key_path("dev-private.key"), key_));
    ASSERT_TRUE(pack_manifest(manifest, file("out.ktlc"), &key_));
    container_ = read_bytes(file("out.ktlc"));
    ASSERT_GE(container_.size(), 668u);
    chunks = split_chunks(container_);
    ASSERT_EQ(chunks.size(), 8u);
  }

  CryptoPP::RSA::PrivateKey key_;
  bytes_t content_, config_, delta_, container_;
  std::vector<chunk_view_t> chunks;
};

content_hash_t diff_data_hash(const chunk_view_t& diff) {
  return sha256_of(bytes_t(diff.body.begin() + 40, diff.body.end()));
}

TEST_F(container_layout_test, header_names_the_signing_key) {
  EXPECT_EQ(text_at(container_, 0, 4), "KTLP");
  EXPECT_EQ(le32(container_, 4), 2u);

  // The development key's fingerprint (SHA-1 of its OpenPGP integers), computed independently.
  EXPECT_EQ(to_hex(container_.data() + 8, 20), "8AF15ED7AB314932F07EFD09B8C9FF4BB87C2488");
  EXPECT_TRUE(std::all_of(container_.begin() + 28, container_.begin() + 156, [](u8 b) { return b == 0; }));
  EXPECT_FALSE(std::all_of(container_.begin() + 156, container_.begin() + 668, [](u8 b) { return b == 0; }));
}

TEST_F(container_layout_test, chunks_come_in_kind_order_and_fill_the_file) {
  std::vector<std::string> tags;
  for (const chunk_view_t& chunk : chunks) {
    tags.push_back(chunk.tag);
    EXPECT_EQ(chunk.version, 2u) << chunk.tag;
  }
  EXPECT_EQ(tags, (std::vector<std::string>{"LAYO", "LAYO", "DIFF", "DIFF", "DIFF", "META", "FPAT", "FPAT"}));
}

TEST_F(container_layout_test, layouts_hold_name_match_version_and_entries) {
  const bytes_t& base = chunks[0].body;
  ASSERT_EQ(base.size(), 112u + 2 * 164u);
  EXPECT_EQ(text_at(base, 0, 64), std::string("kora") + std::string(60, '\0'));
  EXPECT_EQ(hash_at(base, 64), content_hash_t{});
  EXPECT_EQ(le32(base, 96), 1u);
  EXPECT_EQ(le32(base, 100), 13u);
  EXPECT_EQ(le32(base, 104), 3u);
  EXPECT_EQ(le32(base, 108), 7u);
  EXPECT_EQ(text_at(base, 112, 4), "APPL");
  EXPECT_EQ(text_at(base, 116, 128), "bin/win_x86/velmora2.exe" + std::string(128 - 24, '\0'));
  EXPECT_EQ(hash_at(base, 112 + 132), sha256_of(content_));
  EXPECT_EQ(text_at(base, 276, 4), "APPL");
  EXPECT_EQ(text_at(base, 280, 18), std::string("data/old file.dat\0", 18));
  EXPECT_EQ(hash_at(base, 276 + 132), content_hash_t{});

  const bytes_t& config = chunks[1].body;
  ASSERT_EQ(config.size(), 112u);
  EXPECT_EQ(text_at(config, 0, 9), std::string("kora_cfg\0", 9));
  EXPECT_EQ(hash_at(config, 64), sha256_of(config_));
  EXPECT_EQ(le32(config, 96), 2u);
  EXPECT_EQ(le32(config, 100), 0u);
}

TEST_F(container_layout_test, diffs_carry_id_block_header_and_payload) {
  const bytes_t& copy = chunks[2].body;
  ASSERT_EQ(copy.size(), 40u + 16u + content_.size());
  EXPECT_EQ(hash_at(copy, 0), diff_data_hash(chunks[2]));
  EXPECT_TRUE(std::all_of(copy.begin() + 32, copy.begin() + 40, [](u8 b) { return b == 0; }));
  EXPECT_EQ(le64(copy, 40), content_.size());
  EXPECT_EQ(text_at(copy, 48, 4), "COPY");
  EXPECT_EQ(le32(copy, 52), 0u);
  EXPECT_TRUE(std::equal(content_.begin(), content_.end(), copy.begin() + 56));

  const bytes_t& lzma = chunks[3].body;
  EXPECT_EQ(le64(lzma, 40), config_.size());
  EXPECT_EQ(text_at(lzma, 48, 4), "LZM2");
  EXPECT_EQ(hash_at(lzma, 0), diff_data_hash(chunks[3]));

  const bytes_t& delta = chunks[4].body;
  ASSERT_EQ(delta.size(), 40u + 16u + delta_.size());
  EXPECT_EQ(le64(delta, 40), 777u);
  EXPECT_EQ(text_at(delta, 48, 4), "XDLT");
  EXPECT_TRUE(std::equal(delta_.begin(), delta_.end(), delta.begin() + 56));

  EXPECT_NE(hash_at(copy, 0), hash_at(delta, 0));
}

TEST_F(container_layout_test, meta_and_file_patches_reference_diff_ids) {
  const bytes_t& meta = chunks[5].body;
  ASSERT_EQ(meta.size(), 40u);
  EXPECT_EQ(to_hex(hash_at(meta, 0)), std::string(64, 'A'));
  EXPECT_EQ(le64(meta, 32), 100u);

  const content_hash_t full = hash_at(chunks[2].body, 0);
  const content_hash_t delta = hash_at(chunks[4].body, 0);
  const bytes_t& first = chunks[6].body;
  ASSERT_EQ(first.size(), 64u + 32u);
  EXPECT_EQ(hash_at(first, 0), empty_content_hash());
  EXPECT_EQ(hash_at(first, 32), sha256_of(content_));
  EXPECT_EQ(hash_at(first, 64), full);

  const bytes_t& second = chunks[7].body;
  ASSERT_EQ(second.size(), 64u + 64u);
  EXPECT_EQ(to_hex(hash_at(second, 0)), std::string(64, '1'));
  EXPECT_EQ(hash_at(second, 64), delta);
  EXPECT_EQ(hash_at(second, 96), full);
}

} // namespace
} // namespace orvo::publisher::testing
