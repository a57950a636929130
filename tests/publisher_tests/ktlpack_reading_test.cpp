// ktlpack verify and inspect, which read containers with the updater's own reader: one row per
// container a publisher may meet, each checked by both commands.
#include "publisher_test_support.h"

#include "ovcore/crypto/builtin_public_key.h"
#include "tools/publisher/container_writer.h"
#include "tools/publisher/ktlpack/commands.h"
#include "tools/publisher/manifest_packer.h"
#include "tools/publisher/rsa_keys.h"


namespace orvo::publisher::testing {
namespace {

const std::string content_key(64, '5');
const std::string declared_id(64, 'D');

class ktlpack_reading_test : public publisher_test_t {
protected:
  void SetUp() override {
    publisher_test_t::SetUp();
    write_bytes(file("data.bin"), random_bytes(60000, 7));
    write_text(file("manifest.txt"), "layout kora 1.2 match=empty\nfile bin/a.bin @data.bin\n"
                                     "key k " + content_key + "\nkeys k\n"
                                     "diff full lzm2 data.bin\ndiff keyed copy data.bin key=k\n"
                                     "meta " + declared_id + " 100\n"
                                     "patch empty @data.bin full\n"
                                     "patch @data.bin " + std::string(64, '2') + " keyed " + declared_id + "\n");
    ASSERT_TRUE(load_manifest(file("manifest.txt"), manifest_));
    ASSERT_TRUE(load_private_key(dev_key_path("dev-private.key"), private_key_));
  }

  bytes_t pack(bool signing) {
    EXPECT_TRUE(pack_manifest(manifest_, file("out.ktlc"), signing ? &private_key_ : nullptr));
    return read_bytes(file("out.ktlc"));
  }

  // A signed container whose COPY block promises 5 bytes of output and holds 60000.
  bytes_t pack_copy_with_wrong_size() {
    container_writer_t writer;
    diff_input_t input;
    input.data = file("data.bin");
    input.encoded = true;
    input.encoded_output_size = 5;
    diff_record_t record;
    EXPECT_TRUE(writer.create(file("copy.ktlc")) && writer.add_diff(input, &record) &&
                writer.add_file_patch(empty_content_hash(), empty_content_hash(), {record.id}) &&
                writer.finish(&private_key_));
    return read_bytes(file("copy.ktlc"));
  }

  // A 1024-bit key: enough for a fingerprint that names no container here.
  std::string other_public_key() {
    CryptoPP::RSA::PrivateKey other;
    EXPECT_TRUE(generate_signing_key(other, 1024));
    EXPECT_TRUE(save_public_key(CryptoPP::RSA::PublicKey(other), file("other.der")));
    return file("other.der").string();
  }

  // Runs a command as the tool does; out receives what it printed.
  static int run(int (*command)(const arguments_t&), const arguments_t& arguments, std::string& out) {
    ::testing::internal::CaptureStdout();
    const int code = command(arguments);
    out = ::testing::internal::GetCapturedStdout();
    return code;
  }

  manifest_t manifest_;
  CryptoPP::RSA::PrivateKey private_key_;
};

TEST_F(ktlpack_reading_test, verify_and_inspect_answer_as_the_updater_opens) {
  const bytes_t good = pack(true);
  const bytes_t unsigned_container = pack(false);
  const std::string dev_key = dev_key_path("dev-public.der").string();
  const auto changed = [](bytes_t bytes, u64 at, u8 value) {
    bytes[at] = value;
    return bytes;
  };
  struct case_t {
    const char* name;
    bytes_t container;
    bool other_key;
    const char* result;
    std::vector<std::string> inspected;
  };
  const case_t cases[] = {
      {"a good container", good, false, "ok",
       {"result: ok", "layout \"kora\" version 1.2.0.0", "  match " + to_hex(empty_content_hash()),
        "  1 entries", "bin/a.bin", "block LZM2, output 60000 bytes",
        "keyed, key id", "(key in this container)", "reads no block header",
        "diff " + declared_id + "\n  declared: 100 bytes of data in another container",
        "1 layouts, 2 file patches, 0 problems"}},
      {"a flipped signature byte", changed(good, 400, good[400] ^ 1), false, "invalid_signature",
       {"result: invalid_signature"}},
      {"a flipped chunk byte", changed(good, good.size() / 2, good[good.size() / 2] ^ 1), false, "invalid_signature",
       {"result: invalid_signature"}},
      {"a cut container", bytes_t(good.begin(), good.end() - 1000), false, "invalid_signature",
       {"result: invalid_signature"}},
      {"a cut header", bytes_t(good.begin(), good.begin() + 667), false, "not_container", {"result: not_container"}},
      {"another format version", changed(good, 4, 3), false, "unsupported_version", {"result: unsupported_version"}},
      {"a wrong key", good, true, "unknown_key", {"result: unknown_key"}},
      {"an unsigned container", unsigned_container, false, "no_signature", {"result: no_signature"}},
      {"an unsigned container with reserved bytes set", changed(unsigned_container, 100, 1), false, "corrupted",
       {"result: corrupted"}},
      {"a COPY block with the wrong output size", pack_copy_with_wrong_size(), false, "ok",
       {"block COPY, output 5 bytes, payload 60000 bytes",
        "problem: a COPY block whose payload and output sizes disagree", "0 layouts, 1 file patches, 1 problems"}},
  };
  for (const case_t& row : cases) {
    write_bytes(file("case.ktlc"), row.container);
    const std::string key = row.other_key ? other_public_key() : dev_key;
    const arguments_t arguments = {file("case.ktlc").string(), "--public-key", key};
    std::string verified;
    const int verify_code = run(run_verify, arguments, verified);
    EXPECT_EQ(verified, std::string(row.result) + "\n") << row.name;
    EXPECT_EQ(verify_code, std::string(row.result) == "ok" ? exit_success : exit_failure) << row.name;

    std::string inspected;
    const int inspect_code = run(run_inspect, arguments, inspected);
    for (const std::string& part : row.inspected)
      EXPECT_NE(inspected.find(part), std::string::npos) << row.name << ": no '" << part << "' in\n" << inspected;
    const bool clean = std::string(row.result) == "ok" && inspected.find("problem:") == std::string::npos;
    EXPECT_EQ(inspect_code, clean ? exit_success : exit_failure) << row.name;
  }
}

TEST_F(ktlpack_reading_test, key_choice) {
  write_bytes(file("out.ktlc"), pack(true));
  const rsa_public_key_t& builtin = builtin_public_key();
  ASSERT_GT(builtin.length, 0u);
  write_bytes(file("builtin.der"), bytes_t(builtin.bytes, builtin.bytes + builtin.length));
  write_bytes(file("bad.der"), random_bytes(550, 3));
  for (int (*command)(const arguments_t&) : {run_verify, run_inspect}) {
    std::string explicit_key, default_key, ignored;
    const int code = run(command, {file("out.ktlc").string(), "--public-key", file("builtin.der").string()},
                         explicit_key);
    EXPECT_EQ(run(command, {file("out.ktlc").string()}, default_key), code) << "the built-in key by default";
    EXPECT_EQ(default_key, explicit_key);
    EXPECT_EQ(run(command, {file("out.ktlc").string(), "--public-key", file("bad.der").string()}, ignored),
              exit_usage);
  }
  EXPECT_TRUE(logged("is not a DER SubjectPublicKeyInfo RSA public key"));
}

} // namespace
} // namespace orvo::publisher::testing
