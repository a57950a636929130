// Content hashes, streamed hashing and key ids.
#include "ovcore/crypto/content_hash.h"
#include "ovcore/crypto/digest_calculator.h"
#include "ovcore/crypto/file_hash.h"
#include "ovcore/crypto/hash_stream.h"
#include "ovcore/crypto/key_derivation_constants.h"
#include "ovcore/crypto/key_id.h"
#include "common/log_capture.h"
#include "support/progress_recorder.h"
#include "support/scripted_file.h"

#include <cryptopp/hmac.h>
#include <cryptopp/sha.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace orvo;
using namespace orvo::test;

namespace {

std::vector<u8> pattern(size_t size) {
  std::vector<u8> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<u8>(i * 131 + (i >> 9));
  return bytes;
}

content_hash_t one_shot_sha256(const std::vector<u8>& bytes) {
  content_hash_t hash;
  CryptoPP::SHA256().CalculateDigest(hash.bytes, bytes.data(), bytes.size());
  return hash;
}

} // namespace

TEST(content_hash, text_form_and_fixed_values) {
  content_hash_t hash = {};
  hash.bytes[0] = 0x0A;
  hash.bytes[31] = 0xF0;
  EXPECT_STREQ(hash.text().c_str(), "0A000000000000000000000000000000000000000000000000000000000000F0");
  EXPECT_STREQ(empty_content_hash.text().c_str(), "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
  EXPECT_TRUE(zero_content_hash.is_zero());
  EXPECT_FALSE(hash.is_zero());
  EXPECT_FALSE(hash == zero_content_hash);
}

TEST(digest_calculator, sha256_restarts_after_finalize) {
  auto_ptr_t<digest_calculator_t> calculator = create_sha256_digest_calculator();
  ASSERT_TRUE(calculator);
  EXPECT_EQ(calculator->digest_size(), 32u);
  content_hash_t first;
  calculator->update("ab", 2);
  calculator->update("c", 1);
  calculator->finalize(first.bytes);
  EXPECT_STREQ(first.text().c_str(), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
  content_hash_t empty;
  calculator->finalize(empty.bytes);
  EXPECT_EQ(empty, empty_content_hash);
}

TEST(compute_file_hash, empty_file_reports_zero_of_zero_twice) {
  scripted_file_t file({});
  progress_recorder_t recorder;
  content_hash_t out = {};
  ASSERT_EQ(compute_file_hash(out, file, &recorder, nullptr), hash_stream_done);
  EXPECT_EQ(out, empty_content_hash);
  ASSERT_EQ(recorder.reports.size(), 2u);
  for (const task_progress_t& report : recorder.reports) {
    EXPECT_EQ(report.bytes_done, 0u);
    EXPECT_EQ(report.bytes_total, 0u);
  }
  EXPECT_TRUE(file.reads().empty());
}

TEST(compute_file_hash, chunking_at_the_buffer_size) {
  for (size_t size : {size_t(524288), size_t(524289), size_t(3 * 524288 + 17)}) {
    const std::vector<u8> bytes = pattern(size);
    scripted_file_t file(bytes);
    content_hash_t out;
    ASSERT_EQ(compute_file_hash(out, file, nullptr, nullptr), hash_stream_done);
    EXPECT_EQ(out, one_shot_sha256(bytes)) << size;
    const size_t expected_reads = (size + 524287) / 524288;
    ASSERT_EQ(file.reads().size(), expected_reads);
    EXPECT_EQ(file.reads().back().size, size - (expected_reads - 1) * 524288);
    EXPECT_EQ(file.max_outstanding(), 1u);
  }
}

TEST(stream_hash_range, progress_follows_the_hashed_bytes) {
  const u64 length = 1100000;
  scripted_file_t file(pattern(length + 700));
  auto_ptr_t<digest_calculator_t> calculator = create_sha256_digest_calculator();
  hash_sink_of_t<digest_calculator_t> sink(*calculator);
  progress_recorder_t recorder;
  task_progress_t progress;
  progress.stage_id = 77;
  ASSERT_EQ(stream_hash_range(file, sink, 700, length, &recorder, &progress), hash_stream_done);
  const u64 expected[] = {0, 0, 524288, 1048576, length, length};
  ASSERT_EQ(recorder.reports.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(recorder.reports[i].bytes_done, expected[i]) << i;
    EXPECT_EQ(recorder.reports[i].bytes_total, length);
    EXPECT_EQ(recorder.reports[i].stage_id, 77u);
  }
  EXPECT_EQ(file.reads().front().offset, 700u);
  std::vector<u8> hashed = pattern(length + 700);
  hashed.erase(hashed.begin(), hashed.begin() + 700);
  content_hash_t out;
  calculator->finalize(out.bytes);
  EXPECT_EQ(out, one_shot_sha256(hashed));
}

TEST(compute_file_hash, abort_before_reading_and_mid_stream) {
  scripted_file_t file(pattern(2 * 524288));
  content_hash_t out = {};
  progress_recorder_t first(0);
  EXPECT_EQ(compute_file_hash(out, file, &first, nullptr), hash_stream_aborted);
  EXPECT_TRUE(file.reads().empty());
  EXPECT_TRUE(out.is_zero());

  for (size_t abort_at = 1; abort_at < 5; ++abort_at) {
    scripted_file_t streamed(pattern(2 * 524288));
    progress_recorder_t recorder(abort_at, [&] { EXPECT_LE(streamed.outstanding(), 1u); });
    EXPECT_EQ(compute_file_hash(out, streamed, &recorder, nullptr), hash_stream_aborted);
    EXPECT_EQ(streamed.outstanding(), 0u);
    EXPECT_TRUE(out.is_zero());
  }
}

TEST(compute_file_hash, read_failure_is_logged_with_the_name) {
  orvo::testing::log_capture_t log;
  scripted_file_t file(pattern(600000), "data/big.bin");
  file.fail_read_at(599999);
  content_hash_t out = {};
  task_progress_t progress;
  EXPECT_EQ(compute_file_hash(out, file, nullptr, &progress), hash_stream_read_failed);
  EXPECT_TRUE(log.contains("[ERR] Error while reading 'data/big.bin'"));
  EXPECT_EQ(log.levels.back(), message_level_error);
  EXPECT_TRUE(out.is_zero());
  EXPECT_EQ(file.outstanding(), 0u);
  EXPECT_EQ(progress.bytes_total, 600000u);
}

TEST(derive_key_id, two_hmac_steps_over_the_fourteen_byte_label) {
  aes_key_t key;
  for (u32 i = 0; i < 32; ++i) key.bytes[i] = static_cast<u8>(i);
  u8 id[32];
  ASSERT_TRUE(derive_key_id(id, key, key_id_label));

  u8 prk[32], expected[32];
  CryptoPP::HMAC<CryptoPP::SHA256>(key_derivation_key, 16).CalculateDigest(prk, key.bytes, 32);
  CryptoPP::HMAC<CryptoPP::SHA256>(prk, 32).CalculateDigest(expected, reinterpret_cast<const u8*>("diffcontentkey"), 14);
  EXPECT_EQ(std::memcmp(id, expected, 32), 0);
}
