// Header checks, the signature step and the results of opening.
#include "ovutils/ufs/mem_file.h"
#include "common/log_capture.h"
#include "support/open_helpers.h"
#include "support/progress_recorder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace orvo;
using namespace orvo::test;
using patch::container_open_result_t;
using result_t = patch::container_open_result_t;

namespace {

container_builder_t small_container() {
  container_builder_t builder;
  builder.add(layo_chunk("base", {layout_entry("bin/win_x86/velmora2.exe")}));
  builder.add(diff_chunk(hash_of(0xD1), false, copy_block(bytes_t(100, 0x5A))));
  return builder;
}

} // namespace

TEST(container_open_result, names_and_values) {
  const char* names[] = {"ok",       "aborted",     "internal_error", "open_failed",  "io_error",         "not_container",
                         "unsupported_version", "corrupted", "unknown_key", "no_signature", "invalid_signature"};
  for (u32 value = 0; value < 11; ++value) EXPECT_STREQ(patch::container_open_result_name(value), names[value]);
  EXPECT_STREQ(patch::container_open_result_name(11), "");
  EXPECT_STREQ(patch::container_open_result_name(0xFFFFFFFFu), "");
  EXPECT_EQ(static_cast<u32>(result_t::invalid_signature), 10u);
}

TEST(container_header, size_magic_and_version) {
  container_builder_t builder;
  bytes_t bytes = builder.signed_bytes(test_key_4096());
  ASSERT_EQ(bytes.size(), 668u);
  EXPECT_EQ(open_bytes(bytes, &test_key_list()).result, result_t::ok);

  bytes.pop_back();
  EXPECT_EQ(open_bytes(bytes, &test_key_list()).result, result_t::not_container);

  bytes_t wrong_magic = builder.signed_bytes(test_key_4096());
  wrong_magic[3] = 'Q';
  EXPECT_EQ(open_bytes(wrong_magic, &test_key_list()).result, result_t::not_container);

  for (u32 version : {1u, 3u}) {
    container_builder_t other = small_container();
    other.version = version;
    EXPECT_EQ(open_bytes(other.signed_bytes(test_key_4096()), &test_key_list()).result,
              result_t::unsupported_version)
        << version;
  }
}

TEST(container_header, unsigned_containers_never_open) {
  container_builder_t builder = small_container();
  EXPECT_EQ(open_bytes(builder.unsigned_bytes(), &test_key_list()).result, result_t::no_signature);
  EXPECT_EQ(open_bytes(builder.unsigned_bytes(), nullptr).result, result_t::no_signature);

  builder.reserved[127] = 1;
  EXPECT_EQ(open_bytes(builder.unsigned_bytes(), &test_key_list()).result, result_t::corrupted);

  bytes_t stray_signature = small_container().unsigned_bytes();
  stray_signature[667] = 0x80;
  EXPECT_EQ(open_bytes(stray_signature, &test_key_list()).result, result_t::corrupted);
}

TEST(container_header, null_file_is_open_failed) {
  patch::container_reader_t reader;
  auto_ptr_t<file_t> none;
  EXPECT_EQ(reader.open(none, nullptr, &test_key_list()), result_t::open_failed);
}

TEST(container_signature, accepts_the_signing_key_in_either_form_and_reads_the_directory) {
  const bytes_t bytes = small_container().signed_bytes(test_key_4096());
  array_dyn_t<const rsa_public_key_t*> openpgp_keys;
  openpgp_keys.push(&test_key_4096().openpgp_record);
  for (const array_t<const rsa_public_key_t*>* keys : {&test_key_list(), static_cast<const array_t<const rsa_public_key_t*>*>(&openpgp_keys)}) {
    opened_t opened = open_bytes(bytes, keys);
    ASSERT_EQ(opened.result, result_t::ok);
    EXPECT_EQ(opened.reader->layouts().size(), 1u);
    EXPECT_NE(opened.reader->find_diff(as_hash(hash_of(0xD1))), nullptr);
    EXPECT_EQ(opened.reader->file(), opened.file);
    EXPECT_EQ(opened.file->max_outstanding(), 1u);
    EXPECT_EQ(opened.file->outstanding(), 0u);
  }
}

TEST(container_signature, any_changed_byte_is_caught) {
  const bytes_t good = small_container().signed_bytes(test_key_4096());
  struct change_t {
    size_t offset;
    result_t expected;
  };
  const change_t changes[] = {
      {668, result_t::invalid_signature},             // first chunk byte
      {good.size() - 1, result_t::invalid_signature}, // last diff byte
      {28, result_t::invalid_signature},              // reserved field
      {155, result_t::invalid_signature},             // reserved field, last byte
      {156, result_t::invalid_signature},             // signature field
      {667, result_t::invalid_signature},             // signature field, last byte
      {8, result_t::unknown_key},                     // fingerprint
      {27, result_t::unknown_key},                    // fingerprint, last byte
  };
  for (const change_t& change : changes) {
    bytes_t bytes = good;
    bytes[change.offset] ^= 0x01;
    EXPECT_EQ(open_bytes(bytes, &test_key_list()).result, change.expected) << change.offset;
  }
}

TEST(container_signature, without_key_list_nothing_after_the_header_is_read) {
  opened_t opened = open_bytes(small_container().signed_bytes(test_key_4096()), nullptr);
  EXPECT_EQ(opened.result, result_t::unknown_key);
  EXPECT_EQ(opened.file->bytes_read_from(668), 0u);

  array_dyn_t<const rsa_public_key_t*> empty;
  EXPECT_EQ(open_bytes(small_container().signed_bytes(test_key_4096()), &empty).result, result_t::unknown_key);
}

TEST(container_signature, undecodable_record_is_skipped) {
  const u8 garbage[] = {0x30, 0x03, 0x02, 0x01, 0x05};
  const rsa_public_key_t broken = {"broken", false, garbage, sizeof garbage};
  array_dyn_t<const rsa_public_key_t*> keys;
  keys.push(&broken);
  keys.push(&test_key_4096().der_record);
  EXPECT_EQ(open_bytes(small_container().signed_bytes(test_key_4096()), &keys).result, result_t::ok);
}

TEST(container_signature, a_2048_bit_key_fails_the_512_byte_rule) {
  array_dyn_t<const rsa_public_key_t*> keys;
  keys.push(&test_key_2048().der_record);
  EXPECT_EQ(open_bytes(small_container().signed_bytes(test_key_2048()), &keys).result, result_t::invalid_signature);
}

TEST(container_signature, read_failure_is_io_error_and_logged) {
  orvo::testing::log_capture_t log;
  const bytes_t bytes = small_container().signed_bytes(test_key_4096());
  opened_t opened;
  auto* file = new scripted_file_t(bytes, "broken.ktlp");
  file->fail_read_at(bytes.size() - 1);
  auto_ptr_t<file_t> owner(file);
  EXPECT_EQ(opened.reader->open(owner, nullptr, &test_key_list()), result_t::io_error);
  EXPECT_TRUE(log.contains("[ERR] Error while reading 'broken.ktlp'"));
  EXPECT_EQ(file->outstanding(), 0u);
}

TEST(container_progress, reports_both_stages_in_order) {
  container_builder_t builder = small_container();
  const bytes_t bytes = builder.signed_bytes(test_key_4096());
  const u64 size = bytes.size();
  const u64 first_chunk_end = 668 + layo_chunk("base", {layout_entry("bin/win_x86/velmora2.exe")}).size();
  progress_recorder_t recorder;
  ASSERT_EQ(open_bytes(bytes, &test_key_list(), &recorder).result, result_t::ok);

  struct expected_t {
    u64 stage, step, steps, done, total;
  };
  const u64 sig = 0x0000000F0F7CCAE3ull, dir = 0x0000000001F62794ull, body = size - 668;
  const expected_t expected[] = {
      {sig, 0, 2, 0, body},    {sig, 0, 2, 0, body},    {sig, 0, 2, body, body}, {sig, 0, 2, body, body},
      {dir, 1, 2, 668, size},  {dir, 1, 2, first_chunk_end, size}, {dir, 1, 2, size, size},
      {dir, 1, 2, size, size}, {0, 2, 2, 0, 0},
  };
  ASSERT_EQ(recorder.reports.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const task_progress_t& r = recorder.reports[i];
    EXPECT_EQ(r.stage_id, expected[i].stage) << i;
    EXPECT_EQ(r.step, expected[i].step) << i;
    EXPECT_EQ(r.step_count, expected[i].steps) << i;
    EXPECT_EQ(r.bytes_done, expected[i].done) << i;
    EXPECT_EQ(r.bytes_total, expected[i].total) << i;
  }
}

TEST(container_progress, header_only_container_streams_nothing) {
  progress_recorder_t recorder;
  opened_t opened = open_bytes(container_builder_t().signed_bytes(test_key_4096()), &test_key_list(), &recorder);
  ASSERT_EQ(opened.result, result_t::ok);
  ASSERT_GE(recorder.reports.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(recorder.reports[i].stage_id, 0x0000000F0F7CCAE3ull);
    EXPECT_EQ(recorder.reports[i].bytes_done, 0u);
    EXPECT_EQ(recorder.reports[i].bytes_total, 0u);
  }
  EXPECT_EQ(opened.file->bytes_read_from(668), 0u);
  EXPECT_TRUE(opened.reader->layouts().empty());
  EXPECT_TRUE(opened.reader->file_patches().empty());
}

TEST(container_progress, abort_at_any_report_leaves_no_read_outstanding) {
  const bytes_t bytes = small_container().signed_bytes(test_key_4096());
  progress_recorder_t count_reports;
  ASSERT_EQ(open_bytes(bytes, &test_key_list(), &count_reports).result, result_t::ok);
  for (size_t abort_at = 0; abort_at < count_reports.reports.size(); ++abort_at) {
    scripted_file_t* file = nullptr;
    progress_recorder_t recorder(abort_at);
    opened_t opened = open_bytes(bytes, &test_key_list(), &recorder);
    file = opened.file;
    EXPECT_EQ(opened.result, result_t::aborted) << abort_at;
    EXPECT_EQ(recorder.reports.size(), abort_at + 1);
    EXPECT_EQ(file->outstanding(), 0u);
  }
}

TEST(container_progress, abort_while_a_read_is_in_flight_releases_it) {
  // Two buffers' worth of body: the report after the first read starts has a read pending.
  container_builder_t builder;
  builder.add(chunk("PADD", bytes_t(600000, 0)));
  progress_recorder_t recorder(1);
  opened_t opened = open_signed(builder, &recorder);
  EXPECT_EQ(opened.result, result_t::aborted);
  EXPECT_EQ(opened.file->released(), 1u);
  EXPECT_EQ(opened.file->outstanding(), 0u);
}

TEST(container_memory_file, opens_from_memory_like_the_embedded_container) {
  container_builder_t builder = small_container();
  const bytes_t good = builder.signed_bytes(test_key_4096());
  patch::container_reader_t reader;
  auto_ptr_t<file_t> file(new mem_file_t(good.data(), static_cast<u32>(good.size())));
  ASSERT_EQ(reader.open(file, nullptr, &test_key_list()), result_t::ok);
  EXPECT_FALSE(file);
  EXPECT_EQ(reader.layouts().size(), 1u);

  builder.add(bytes_t(15, 0));
  const bytes_t torn = builder.signed_bytes(test_key_4096());
  patch::container_reader_t torn_reader;
  auto_ptr_t<file_t> torn_file(new mem_file_t(torn.data(), static_cast<u32>(torn.size())));
  EXPECT_EQ(torn_reader.open(torn_file, nullptr, &test_key_list()), result_t::io_error);
}
