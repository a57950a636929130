// Containers from the publisher's writer, opened by the updater's reader.
#include "interop_support.h"

#include "ovcore/crypto/key_id.h"
#include "ovcore/ufs/file_system.h"
#include "patch/decode_delta.h"
#include "tools/publisher/content_hash.h"
#include "tools/publisher/manifest_packer.h"
#include "tools/publisher/rsa_keys.h"

#include <cryptopp/sha.h>
#include <lzma.h>

#include <cstring>

namespace orvo::interop {
namespace {

using open_result_t = patch::container_open_result_t;

content_hash_t sha256_of(const bytes_t& bytes) {
  content_hash_t hash;
  CryptoPP::SHA256().CalculateDigest(hash.bytes, bytes.data(), bytes.size());
  return hash;
}

content_hash_t key_id_of(const aes_key_t& key) {
  content_hash_t id{};
  EXPECT_TRUE(derive_key_id(id.bytes, key, "diffcontentkey"));
  return id;
}

aes_key_t key_of(u8 first) {
  aes_key_t key;
  for (u32 i = 0; i < 32; ++i) key.bytes[i] = static_cast<u8>(first + i);
  return key;
}

std::string hex_of(const u8* bytes, size_t size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

bytes_t xz_decode(const bytes_t& payload, size_t output_size) {
  bytes_t output(output_size + 1);
  u64 memlimit = UINT64_MAX;
  size_t in_position = 0;
  size_t out_position = 0;
  const lzma_ret result = lzma_stream_buffer_decode(&memlimit, 0, nullptr, payload.data(), &in_position,
                                                    payload.size(), output.data(), &out_position, output.size());
  EXPECT_EQ(result, LZMA_OK);
  output.resize(out_position);
  return output;
}

class container_interop_test : public interop_test_t {
protected:
  void SetUp() override {
    interop_test_t::SetUp();
    ASSERT_TRUE(publisher::load_private_key(dev_key_path("dev-private.key"), private_key_));
  }

  // Packs manifest text from the test directory; the container's bytes, or empty on failure.
  bytes_t pack(const std::string& manifest, bool sign = true) {
    write_text(file("manifest.txt"), manifest);
    publisher::manifest_t parsed;
    if (!publisher::load_manifest(file("manifest.txt"), parsed)) return {};
    if (!publisher::pack_manifest(parsed, file("out.ktlc"), sign ? &private_key_ : nullptr)) return {};
    return read_bytes(file("out.ktlc"));
  }

  bytes_t put(const std::string& name, const bytes_t& bytes) {
    write_bytes(file(name), bytes);
    return bytes;
  }

  CryptoPP::RSA::PrivateKey private_key_;
  dev_public_key_t dev_key_;
};

// The diff data of a reader's diff, straight from the container bytes.
bytes_t diff_data(const bytes_t& container, const patch::diff_info_t& diff) {
  return bytes_t(container.begin() + diff.data_offset, container.begin() + diff.data_offset + diff.data_size);
}

std::string method_of(const bytes_t& data) { return std::string(data.begin() + 8, data.begin() + 12); }

TEST_F(container_interop_test, reader_sees_what_the_manifest_said) {
  bytes_t old_exe = random_bytes(300000, 1);
  bytes_t new_exe = old_exe;
  new_exe.insert(new_exe.begin() + 1000, 500, 0x90);
  new_exe.erase(new_exe.begin() + 200000, new_exe.begin() + 201000);
  put("old/velmora2.exe", old_exe);
  put("new/velmora2.exe", new_exe);
  const bytes_t old_cfg = put("old/base.cfg", random_bytes(20000, 2));
  const bytes_t new_cfg = put("new/base.cfg", text_bytes(200000, 3));
  const bytes_t old_noise = put("old/noise.bin", random_bytes(50000, 4));
  const bytes_t new_noise = put("new/noise.bin", random_bytes(50000, 5));
  const aes_key_t k1 = key_of(0x10);
  const aes_key_t k2 = key_of(0x80);
  const std::string keyed_id(64, 'A');
  const std::string meta_id(64, 'B');
  const std::string keyed_meta_id(64, 'C');

  const bytes_t container = pack("layout kora 1.13.3\n"
                                 "file bin/win_x86/velmora2.exe @new/velmora2.exe\n"
                                 "file \"data/old file.pak\" zero\n"
                                 "file data/empty.cfg empty\n"
                                 "layout kora_cfg 1.2 match=@new/velmora2.exe\n"
                                 "file cfg/base.cfg @new/base.cfg\n"
                                 "key k1 " + hex_of(k1.bytes, 32) + "\n"
                                 "key k2 " + hex_of(k2.bytes, 32) + "\n"
                                 "keys k1 k2\n"
                                 "diff exe auto old/velmora2.exe new/velmora2.exe\n"
                                 "diff cfg auto old/base.cfg new/base.cfg\n"
                                 "diff noise auto old/noise.bin new/noise.bin\n"
                                 "diff keyed copy new/base.cfg key=k1 id=" + keyed_id + "\n"
                                 "meta " + meta_id + " 100\n"
                                 "meta " + keyed_meta_id + " 200 key=k2\n"
                                 "patch @old/velmora2.exe @new/velmora2.exe exe\n"
                                 "patch @old/base.cfg @new/base.cfg cfg\n"
                                 "patch @old/noise.bin @new/noise.bin noise\n"
                                 "patch zero empty\n");
  ASSERT_FALSE(container.empty());
  const opened_container_t opened = open_container(container, &dev_key_.list());
  ASSERT_EQ(opened.result, open_result_t::ok);
  const patch::container_reader_t& reader = *opened.reader;

  ASSERT_EQ(reader.layouts().size(), 2u);
  const patch::layout_record_t& kora = reader.layouts()[0];
  EXPECT_STREQ(kora.name.c_str(), "kora");
  EXPECT_EQ(std::vector<u32>(kora.version, kora.version + 4), (std::vector<u32>{1, 13, 3, 0}));
  EXPECT_EQ(kora.match_hash, zero_content_hash);
  ASSERT_EQ(kora.paths.size(), 3u);
  const char* const paths[] = {"bin/win_x86/velmora2.exe", "data/old file.pak", "data/empty.cfg"};
  const content_hash_t hashes[] = {sha256_of(new_exe), zero_content_hash, empty_content_hash};
  for (u32 i = 0; i < 3; ++i) {
    EXPECT_EQ(std::memcmp(kora.paths[i].root, "APPL", 4), 0);
    EXPECT_STREQ(kora.paths[i].path, paths[i]);
    EXPECT_EQ(kora.paths[i].hash, hashes[i]) << paths[i];
  }
  const patch::layout_record_t& cfg = reader.layouts()[1];
  EXPECT_STREQ(cfg.name.c_str(), "kora_cfg");
  EXPECT_EQ(std::vector<u32>(cfg.version, cfg.version + 4), (std::vector<u32>{1, 2, 0, 0}));
  EXPECT_EQ(cfg.match_hash, sha256_of(new_exe));
  ASSERT_EQ(cfg.paths.size(), 1u);
  EXPECT_STREQ(cfg.paths[0].path, "cfg/base.cfg");
  EXPECT_EQ(cfg.paths[0].hash, sha256_of(new_cfg));

  ASSERT_NE(reader.find_key(key_id_of(k1)), nullptr);
  EXPECT_EQ(*reader.find_key(key_id_of(k1)), k1);
  ASSERT_NE(reader.find_key(key_id_of(k2)), nullptr);
  EXPECT_EQ(*reader.find_key(key_id_of(k2)), k2);

  struct expected_patch_t {
    const bytes_t* old_content;
    const bytes_t* new_content;
    const char* method;
  };
  const expected_patch_t expected[] = {
      {&old_exe, &new_exe, "XDLT"}, {&old_cfg, &new_cfg, "LZM2"}, {&old_noise, &new_noise, "COPY"}};
  ASSERT_EQ(reader.file_patches().size(), 4u);
  for (u32 i = 0; i < 3; ++i) {
    const patch::file_patch_record_t& record = reader.file_patches()[i];
    EXPECT_EQ(record.source, sha256_of(*expected[i].old_content));
    EXPECT_EQ(record.target, sha256_of(*expected[i].new_content));
    ASSERT_EQ(record.diff_ids.size(), 1u);
    const patch::diff_info_t* diff = reader.find_diff(record.diff_ids[0]);
    ASSERT_NE(diff, nullptr);
    ASSERT_NE(diff->data_offset, patch::diff_offset_none);
    EXPECT_FALSE(diff->keyed);
    const bytes_t data = diff_data(container, *diff);
    EXPECT_EQ(sha256_of(data), record.diff_ids[0]) << "a diff is named by the SHA-256 of its data";
    ASSERT_EQ(method_of(data), expected[i].method) << i;
    EXPECT_EQ(le64(data, 0), expected[i].new_content->size());
    const bytes_t payload(data.begin() + 16, data.end());
    if (i == 0) {
      vector_file_t source("old", *expected[i].old_content);
      vector_file_t output("new");
      EXPECT_EQ(patch::decode_delta(*reader.file(), diff->data_offset + 16, diff->data_size - 16, &source, output,
                                    nullptr, nullptr, new_exe.size()),
                patch::decode_delta_ok);
      EXPECT_EQ(output.bytes(), new_exe);
    } else if (i == 1) {
      EXPECT_EQ(xz_decode(payload, new_cfg.size()), new_cfg);
    } else {
      EXPECT_EQ(payload, new_noise);
    }
  }
  const patch::file_patch_record_t& empty_patch = reader.file_patches()[3];
  EXPECT_EQ(empty_patch.source, zero_content_hash);
  EXPECT_EQ(empty_patch.target, empty_content_hash);
  EXPECT_EQ(empty_patch.diff_ids.size(), 0u);

  content_hash_t id;
  publisher::parse_hex(keyed_id, id.bytes, 32);
  const patch::diff_info_t* keyed = reader.find_diff(id);
  ASSERT_NE(keyed, nullptr);
  EXPECT_TRUE(keyed->keyed);
  EXPECT_EQ(keyed->key_id, key_id_of(k1));
  EXPECT_EQ(keyed->data_size, 32 + 16 + 16 + new_cfg.size()) << "key id, reserved bytes, block header, content";
  publisher::parse_hex(meta_id, id.bytes, 32);
  const patch::diff_info_t* meta = reader.find_diff(id);
  ASSERT_NE(meta, nullptr);
  EXPECT_EQ(meta->data_offset, patch::diff_offset_none);
  EXPECT_EQ(meta->data_size, 100u);
  EXPECT_FALSE(meta->keyed);
  publisher::parse_hex(keyed_meta_id, id.bytes, 32);
  const patch::diff_info_t* keyed_meta = reader.find_diff(id);
  ASSERT_NE(keyed_meta, nullptr);
  EXPECT_EQ(keyed_meta->data_offset, patch::diff_offset_none);
  EXPECT_EQ(keyed_meta->data_size, 200u);
  EXPECT_TRUE(keyed_meta->keyed);
  EXPECT_EQ(keyed_meta->key_id, key_id_of(k2));
}

TEST_F(container_interop_test, methods_limit_the_automatic_choice) {
  const bytes_t old_file = put("old.bin", random_bytes(40000, 6));
  const bytes_t new_file = put("new.bin", random_bytes(40000, 7));
  const bytes_t container = pack("diff forced auto old.bin new.bin methods=xdlt\n"
                                 "diff fresh auto - new.bin\n"
                                 "patch @old.bin @new.bin forced\n"
                                 "patch empty @new.bin fresh\n");
  ASSERT_FALSE(container.empty());
  const opened_container_t opened = open_container(container, &dev_key_.list());
  ASSERT_EQ(opened.result, open_result_t::ok);
  ASSERT_EQ(opened.reader->file_patches().size(), 2u);
  const patch::diff_info_t* forced = opened.reader->find_diff(opened.reader->file_patches()[0].diff_ids[0]);
  const patch::diff_info_t* fresh = opened.reader->find_diff(opened.reader->file_patches()[1].diff_ids[0]);
  ASSERT_TRUE(forced && fresh);
  EXPECT_EQ(method_of(diff_data(container, *forced)), "XDLT");
  EXPECT_EQ(method_of(diff_data(container, *fresh)), "COPY");
  vector_file_t source("old", old_file);
  vector_file_t output("new");
  EXPECT_EQ(patch::decode_delta(*opened.reader->file(), forced->data_offset + 16, forced->data_size - 16, &source,
                                output, nullptr, nullptr, new_file.size()),
            patch::decode_delta_ok);
  EXPECT_EQ(output.bytes(), new_file);
  EXPECT_TRUE(logged("Diff 'forced': XDLT"));
  EXPECT_FALSE(std::filesystem::exists(file("out.ktlc.partial.diff.xdlt")));
  EXPECT_FALSE(std::filesystem::exists(file("out.ktlc.partial.diff.lzm2")));
}

TEST_F(container_interop_test, damaged_and_unsigned_containers_get_their_open_result) {
  put("a.bin", text_bytes(5000, 8));
  const std::string manifest = "layout kora 1\nfile a.bin @a.bin\ndiff a lzm2 a.bin\npatch empty @a.bin a\n";
  const bytes_t good = pack(manifest);
  ASSERT_GT(good.size(), 668u);
  EXPECT_EQ(open_container(good, &dev_key_.list()).result, open_result_t::ok);

  auto opened_with = [&](u64 offset, u8 mask) {
    bytes_t bytes = good;
    bytes[offset] ^= mask;
    return open_container(bytes, &dev_key_.list()).result;
  };
  EXPECT_EQ(opened_with(668, 0x01), open_result_t::invalid_signature);
  EXPECT_EQ(opened_with(good.size() - 1, 0x80), open_result_t::invalid_signature);
  EXPECT_EQ(opened_with(28 + 5, 0x01), open_result_t::invalid_signature) << "reserved bytes are signed";
  EXPECT_EQ(opened_with(156 + 100, 0x01), open_result_t::invalid_signature);
  EXPECT_EQ(opened_with(8, 0x01), open_result_t::unknown_key);
  EXPECT_EQ(opened_with(27, 0x40), open_result_t::unknown_key);
  EXPECT_EQ(opened_with(4, 0x01), open_result_t::unsupported_version);
  EXPECT_EQ(opened_with(0, 0x20), open_result_t::not_container);
  EXPECT_EQ(open_container(good, nullptr).result, open_result_t::unknown_key);

  EXPECT_EQ(open_container(bytes_t(good.begin(), good.begin() + 667), &dev_key_.list()).result,
            open_result_t::not_container);
  EXPECT_EQ(open_container(bytes_t(good.begin(), good.end() - 1), &dev_key_.list()).result,
            open_result_t::invalid_signature);

  const bytes_t unsigned_container = pack(manifest, false);
  ASSERT_GT(unsigned_container.size(), 668u);
  EXPECT_EQ(open_container(unsigned_container, &dev_key_.list()).result, open_result_t::no_signature);
  bytes_t reserved = unsigned_container;
  reserved[100] = 1;
  EXPECT_EQ(open_container(reserved, &dev_key_.list()).result, open_result_t::corrupted);
}

TEST_F(container_interop_test, container_opens_through_the_native_file_layer) {
  put("a.bin", random_bytes(70000, 9));
  ASSERT_FALSE(pack("diff a copy a.bin\npatch empty @a.bin a\n").empty());
  auto_ptr_t<file_t> file_handle = open_file_read(file("out.ktlc").string().c_str());
  ASSERT_TRUE(file_handle);
  patch::container_reader_t reader;
  EXPECT_EQ(reader.open(file_handle, nullptr, &dev_key_.list()), open_result_t::ok);
  ASSERT_EQ(reader.file_patches().size(), 1u);
  EXPECT_NE(reader.find_diff(reader.file_patches()[0].diff_ids[0]), nullptr);
}

} // namespace
} // namespace orvo::interop
