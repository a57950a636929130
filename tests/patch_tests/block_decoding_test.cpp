// Extraction of a container's diffs: key checks, the three block methods, the size checks, the
// progress relay and every result with its log line.
#include "common/log_capture.h"
#include "ovcore/crypto/key_derivation_constants.h"
#include "patch/block_header.h"
#include "patch/lzma_error.h"
#include "patch/progress_relay.h"
#include "rfc_example.h"
#include "support/open_helpers.h"
#include "support/progress_recorder.h"
#include "test_file.h"

#include <gtest/gtest.h>

#include <lzma.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace orvo::patch::test {
namespace {

using result_t = extract_diff_result_t;
using orvo::test::hash_bytes_t;
using orvo::test::hash_of;
using orvo::test::progress_recorder_t;

constexpr u32 header_size = block_header_size;

bytes_t block(u64 output_size, const char* method, const bytes_t& payload) {
  bytes_t out;
  orvo::test::put_u64(out, output_size);
  orvo::test::put_bytes(out, method, 4);
  orvo::test::put_u32(out, 0);
  append(out, payload);
  return out;
}

bytes_t xz(const bytes_t& plain) {
  bytes_t out(plain.size() + plain.size() / 2 + 4096);
  size_t size = 0;
  const lzma_ret code = lzma_easy_buffer_encode(1, LZMA_CHECK_CRC64, nullptr, plain.data(), plain.size(), out.data(),
                                                &size, out.size());
  EXPECT_EQ(code, LZMA_OK);
  out.resize(size);
  return out;
}

aes_key_t key_of(u8 fill) {
  aes_key_t key;
  std::memset(key.bytes, fill, sizeof key.bytes);
  return key;
}

hash_bytes_t key_id_of(const aes_key_t& key) {
  hash_bytes_t id;
  EXPECT_TRUE(derive_key_id(id.data(), key, key_id_label));
  return id;
}

// A signed container of DIFF chunks, opened; the diff data of the i-th entry starts at
// data_offsets[i].
struct container_t {
  explicit container_t(const std::vector<std::pair<hash_bytes_t, bytes_t>>& diffs, bool keyed = false) {
    orvo::test::container_builder_t builder;
    u64 offset = container_header_size;
    for (const auto& [id, data] : diffs) {
      builder.add(orvo::test::diff_chunk(id, keyed, data));
      data_offsets.push_back(offset + chunk_header_size + diff_fixed_size);
      offset += chunk_header_size + diff_fixed_size + data.size();
    }
    opened = orvo::test::open_signed(builder);
    EXPECT_EQ(opened.result, container_open_result_t::ok);
  }
  explicit container_t(const orvo::test::container_builder_t& builder) : opened(orvo::test::open_signed(builder)) {
    EXPECT_EQ(opened.result, container_open_result_t::ok);
  }
  orvo::test::scripted_file_t& file() const { return *opened.file; }

  orvo::test::opened_t opened;
  std::vector<u64> data_offsets;
};

struct extraction_t {
  result_t result;
  bytes_t output;
  u64 writes;
};

struct extract_options_t {
  file_t* source = nullptr;
  const aes_key_t* key = nullptr;
  progress_callback_t* callback = nullptr;
  u64 fail_writes_after = ~u64{0};
};

extraction_t extract(const container_t& container, const hash_bytes_t& id, const extract_options_t& options = {}) {
  auto* output = new test_file_t("output.bin");
  output->fail_writes_after = options.fail_writes_after;
  auto_ptr_t<file_t> owner(output);
  const result_t result = container.opened.reader->extract_diff(owner, options.source, orvo::test::as_hash(id),
                                                                options.key, options.callback);
  return {result, output->bytes(), output->writes};
}

const hash_bytes_t diff_a = hash_of(0xA1);

TEST(copy_blocks, empty_payload_gives_an_empty_output) {
  container_t container({{diff_a, block(0, "COPY", {})}});
  progress_recorder_t progress;
  const extraction_t extraction = extract(container, diff_a, {.callback = &progress});
  EXPECT_EQ(extraction.result, result_t::ok);
  EXPECT_TRUE(extraction.output.empty());
  EXPECT_EQ(extraction.writes, 0u);
  ASSERT_EQ(progress.reports.size(), 2u);
  for (const task_progress_t& report : progress.reports) {
    EXPECT_EQ(report.stage_id, stage_extraction);
    EXPECT_EQ(report.bytes_total, 0u);
  }
}

TEST(copy_blocks, payload_one_byte_over_a_chunk_is_copied_in_two) {
  const bytes_t payload = patterned(65537);
  container_t container({{diff_a, block(payload.size(), "COPY", payload)}});
  progress_recorder_t progress;
  const size_t reads_before = container.file().reads().size();
  const extraction_t extraction = extract(container, diff_a, {.callback = &progress});
  EXPECT_EQ(extraction.result, result_t::ok);
  EXPECT_EQ(extraction.output, payload);
  EXPECT_EQ(extraction.writes, 2u);

  const auto& reads = container.file().reads();
  ASSERT_EQ(reads.size() - reads_before, 3u);  // block header, then the two chunks
  const u64 payload_offset = container.data_offsets[0] + header_size;
  EXPECT_EQ(reads[reads_before + 1].offset, payload_offset);
  EXPECT_EQ(reads[reads_before + 1].size, 65536u);
  EXPECT_EQ(reads[reads_before + 2].offset, payload_offset + 65536);
  EXPECT_EQ(reads[reads_before + 2].size, 1u);

  std::vector<u64> done;
  for (const task_progress_t& report : progress.reports) {
    EXPECT_EQ(report.stage_id, stage_extraction);
    EXPECT_EQ(report.step_count, 1u);
    EXPECT_EQ(report.bytes_total, 65537u);
    done.push_back(report.bytes_done);
  }
  EXPECT_EQ(done, (std::vector<u64>{0, 65536, 65537, 65537}));
}

// Declared sizes cut to 32 bits would match the payload in the last two cases.
TEST(copy_blocks, size_disagreement_is_corrupted_before_writing) {
  struct case_t {
    u64 declared;
    u32 payload;
    const char* line;
  };
  const case_t cases[] = {
      {1, 0, "[ERR] The header specifies different a size 1 than the block content 0"},
      {(1ull << 32) + 3, 3, "[ERR] The header specifies different a size 4294967299 than the block content 3"},
      {~0ull, 0, "[ERR] The header specifies different a size 18446744073709551615 than the block content 0"},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.line);
    testing::log_capture_t log;
    container_t container({{diff_a, block(c.declared, "COPY", bytes_t(c.payload, 7))}});
    const extraction_t extraction = extract(container, diff_a);
    EXPECT_EQ(extraction.result, result_t::corrupted);
    EXPECT_EQ(extraction.writes, 0u);
    EXPECT_TRUE(log.contains(c.line));
  }
}

TEST(copy_blocks, read_and_write_failures) {
  const bytes_t payload = patterned(70000);
  container_t container({{diff_a, block(payload.size(), "COPY", payload)}});
  testing::log_capture_t log;
  container.file().fail_read_at(container.data_offsets[0] + header_size + 65536);
  extraction_t extraction = extract(container, diff_a);
  EXPECT_EQ(extraction.result, result_t::container_read_error);
  EXPECT_EQ(extraction.writes, 1u) << "second chunk";
  container.file().fail_read_at(container.data_offsets[0]);
  extraction = extract(container, diff_a);
  EXPECT_EQ(extraction.result, result_t::container_read_error);
  EXPECT_EQ(extraction.writes, 0u) << "block header";
  EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), "[ERR] Error while reading from 'container.ktlp'"), 2);

  container.file().fail_read_at(UINT64_MAX);
  EXPECT_EQ(extract(container, diff_a, {.fail_writes_after = 1}).result, result_t::write_error);
  EXPECT_TRUE(log.contains("[ERR] Error while writing to 'output.bin'"));
}

TEST(lzm2_blocks, decodes_across_buffers_and_ignores_bytes_after_the_stream) {
  // Over 1 MiB of input and of output, so both buffers are refilled and flushed several times.
  bytes_t plain = patterned(3 << 20, 7);
  for (size_t i = 0; i < plain.size(); i += 3) plain[i] ^= static_cast<u8>(i * 2654435761u >> 24);
  bytes_t payload = xz(plain);
  ASSERT_GT(payload.size(), 1u << 20);
  append(payload, to_bytes("trailing bytes inside the chunk"));
  container_t container({{diff_a, block(plain.size(), "LZM2", payload)}});
  progress_recorder_t progress;
  const extraction_t extraction = extract(container, diff_a, {.callback = &progress});
  EXPECT_EQ(extraction.result, result_t::ok);
  EXPECT_TRUE(extraction.output == plain);
  ASSERT_GE(progress.reports.size(), 3u);
  for (size_t i = 0; i < progress.reports.size(); ++i) {
    EXPECT_EQ(progress.reports[i].stage_id, stage_extraction);
    EXPECT_EQ(progress.reports[i].bytes_total, payload.size());
    if (i > 0) {
      EXPECT_GE(progress.reports[i].bytes_done, progress.reports[i - 1].bytes_done);
    }
  }
  EXPECT_EQ(progress.reports.back().bytes_done, payload.size());
}

TEST(lzm2_blocks, damaged_streams_and_wrong_sizes_fail_with_their_log_line) {
  const bytes_t plain = patterned(4096);
  bytes_t truncated = xz(plain);
  truncated.resize(truncated.size() - 10);
  struct case_t {
    u64 declared;
    bytes_t payload;
    result_t result;
    const char* line;
    bool writes = true;
  };
  const case_t cases[] = {
      {plain.size(), truncated, result_t::corrupted, "[ERR] Buffer error"},
      {plain.size(), plain, result_t::corrupted, "[ERR] Format error", false},
      {plain.size() - 1, xz(plain), result_t::size_mismatch,
       "[ERR] The header specifies a different file size 4095 than was created by the patch 4096"},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.line);
    testing::log_capture_t log;
    container_t container({{diff_a, block(c.declared, "LZM2", c.payload)}});
    const extraction_t extraction = extract(container, diff_a);
    EXPECT_EQ(extraction.result, c.result);
    EXPECT_TRUE(log.contains(c.line));
    EXPECT_EQ(extraction.writes > 0, c.writes);
  }
}

// 3 MiB that compress to over 1 MiB: several input and output buffers.
bytes_t noisy_plain(u32 seed) {
  bytes_t noisy = patterned(3 << 20, seed);
  for (size_t i = 0; i < noisy.size(); i += 2) noisy[i] = static_cast<u8>(i * 2654435761u >> 24);
  return noisy;
}

TEST(lzm2_blocks, read_write_failures_and_abort) {
  const bytes_t noisy = noisy_plain(3);
  const bytes_t payload = xz(noisy);
  ASSERT_GT(payload.size(), 1u << 20);
  container_t container({{diff_a, block(noisy.size(), "LZM2", payload)}});
  {
    testing::log_capture_t log;
    container.file().fail_read_at(container.data_offsets[0] + header_size + (1 << 20));
    const extraction_t extraction = extract(container, diff_a);
    EXPECT_EQ(extraction.result, result_t::data_read_error);
    EXPECT_GT(extraction.writes, 0u);
    EXPECT_TRUE(log.contains("[ERR] Error while reading 'container.ktlp'"));
  }
  container.file().fail_read_at(UINT64_MAX);
  {
    testing::log_capture_t log;
    const extraction_t extraction = extract(container, diff_a, {.fail_writes_after = 1});
    EXPECT_EQ(extraction.result, result_t::write_error);
    EXPECT_EQ(extraction.output.size(), 1u << 20);
    EXPECT_TRUE(log.contains("[ERR] Error while writing 'output.bin'"));
  }
  for (size_t abort_at : {size_t{0}, size_t{2}}) {
    progress_recorder_t progress(abort_at);
    const extraction_t extraction = extract(container, diff_a, {.callback = &progress});
    EXPECT_EQ(extraction.result, result_t::aborted);
    EXPECT_EQ(progress.reports.size(), abort_at + 1);
    EXPECT_LT(extraction.output.size(), noisy.size());
  }
}

TEST(lzm2_blocks, a_key_is_refused) {
  testing::log_capture_t log;
  const bytes_t plain = patterned(100);
  container_t container({{diff_a, block(plain.size(), "LZM2", xz(plain))}});
  const aes_key_t key = key_of(0x33);
  const extraction_t extraction = extract(container, diff_a, {.key = &key});
  EXPECT_EQ(extraction.result, result_t::internal_error);
  EXPECT_EQ(extraction.writes, 0u);
  EXPECT_TRUE(log.contains("[ERR] Encryption is currently not supported"));
}

TEST(lzma_errors, codes_map_to_results) {
  testing::log_capture_t log;
  EXPECT_EQ(lzma_error_result(LZMA_MEMLIMIT_ERROR), result_t::corrupted);
  EXPECT_EQ(lzma_error_result(LZMA_DATA_ERROR), result_t::internal_error);
  EXPECT_EQ(lzma_error_result(LZMA_OPTIONS_ERROR), result_t::corrupted);
  EXPECT_EQ(lzma_error_result(static_cast<lzma_ret>(42)), result_t::internal_error);
  EXPECT_TRUE(log.contains("[ERR] Exceeded decompression memory limit"));
  EXPECT_TRUE(log.contains("[ERR] Data error"));
  EXPECT_TRUE(log.contains("[ERR] Invalid options"));
  EXPECT_TRUE(log.contains("[ERR] Unknown LZMA error code 42"));
}

TEST(xdlt_blocks, rebuilds_the_target_from_the_source_file) {
  container_t container({{diff_a, block(rfc_target.size(), "XDLT", rfc_delta())}});
  test_file_t source("source.bin", rfc_source);
  progress_recorder_t progress;
  const extraction_t extraction = extract(container, diff_a, {.source = &source, .callback = &progress});
  EXPECT_EQ(extraction.result, result_t::ok);
  EXPECT_EQ(extraction.output, rfc_target);
  ASSERT_FALSE(progress.reports.empty());
  for (const task_progress_t& report : progress.reports) {
    EXPECT_EQ(report.stage_id, stage_extraction);
    EXPECT_EQ(report.bytes_total, rfc_target.size());
  }
}

TEST(xdlt_blocks, failures_map_to_results) {
  container_t container({{diff_a, block(rfc_target.size(), "XDLT", rfc_delta())},
                         {hash_of(0xA2), block(rfc_target.size() + 1, "XDLT", rfc_delta())}});
  testing::log_capture_t log;
  EXPECT_EQ(extract(container, diff_a).result, result_t::corrupted) << "no source";
  test_file_t broken("source.bin", rfc_source);
  broken.fail_reads_after = 0;
  EXPECT_EQ(extract(container, diff_a, {.source = &broken}).result, result_t::data_read_error);

  test_file_t source("source.bin", rfc_source);
  EXPECT_EQ(extract(container, diff_a, {.source = &source, .fail_writes_after = 0}).result, result_t::write_error);
  EXPECT_TRUE(log.contains("[ERR] Error while writing to 'output.bin'"));
  EXPECT_EQ(extract(container, hash_of(0xA2), {.source = &source}).result, result_t::size_mismatch);
  EXPECT_TRUE(log.contains("[ERR] The header specifies a different file size 29 than was created by the patch 28"));
  progress_recorder_t aborting(0);
  EXPECT_EQ(extract(container, diff_a, {.source = &source, .callback = &aborting}).result, result_t::aborted);
  container.file().fail_read_at(container.data_offsets[0] + header_size);
  EXPECT_EQ(extract(container, diff_a, {.source = &source}).result, result_t::container_read_error);
}

TEST(extract_diff, unknown_method_leaves_the_output_untouched) {
  container_t container({{diff_a, block(3, "LZMA", to_bytes("abc"))}});
  const extraction_t extraction = extract(container, diff_a);
  EXPECT_EQ(extraction.result, result_t::unsupported_method);
  EXPECT_EQ(extraction.writes, 0u);
}

TEST(extract_diff, diffs_without_data_are_not_found) {
  orvo::test::container_builder_t builder;
  builder.add(orvo::test::meta_chunk(hash_of(0xA2), 40));
  builder.add(orvo::test::diff_chunk(diff_a, false, block(1, "COPY", to_bytes("x"))));
  container_t container(builder);
  EXPECT_EQ(extract(container, hash_of(0xA2)).result, result_t::not_found);
  EXPECT_EQ(extract(container, hash_of(0xA3)).result, result_t::not_found);
  EXPECT_EQ(extract(container, diff_a).result, result_t::ok);
}

// Keyed data as the publisher writes it: key id, 16 zero bytes, then a plain COPY block.
bytes_t keyed_copy_data(const aes_key_t& key, const bytes_t& payload) {
  const hash_bytes_t id = key_id_of(key);
  bytes_t data(id.begin(), id.end());
  orvo::test::put_zeros(data, 16);
  append(data, block(payload.size(), "COPY", payload));
  return data;
}

TEST(keyed_diffs, key_checks_come_first_and_the_content_is_refused) {
  const aes_key_t key = key_of(0x41);
  container_t container({{diff_a, keyed_copy_data(key, to_bytes("plain content"))}}, true);
  const size_t reads_after_open = container.file().reads().size();
  EXPECT_EQ(extract(container, diff_a).result, result_t::no_key);

  const aes_key_t other = key_of(0x42);
  EXPECT_EQ(extract(container, diff_a, {.key = &other}).result, result_t::wrong_key);

  testing::log_capture_t log;
  const extraction_t extraction = extract(container, diff_a, {.key = &key});
  EXPECT_EQ(extraction.result, result_t::internal_error);
  EXPECT_EQ(extraction.writes, 0u);
  EXPECT_TRUE(log.contains("[ERR] Encryption is currently not supported"));
  EXPECT_EQ(container.file().reads().size(), reads_after_open);
}

TEST(extract_diff, result_names) {
  EXPECT_STREQ(extract_diff_result_name(0), "ok");
  EXPECT_STREQ(extract_diff_result_name(3), "unsupported_method");
  EXPECT_STREQ(extract_diff_result_name(8), "data_read_error");
  EXPECT_STREQ(extract_diff_result_name(11), "size_mismatch");
  EXPECT_STREQ(extract_diff_result_name(12), "");
}

TEST(progress_relay, stamps_stage_and_steps) {
  const task_progress_t inner{7, 3, 10, 40, 50};
  progress_recorder_t outer(1);  // answers false from the second report on
  progress_relay_t relay(&outer);
  EXPECT_TRUE(relay.call(inner));
  EXPECT_EQ(outer.reports.back().stage_id, 7u);
  EXPECT_EQ(outer.reports.back().step, 3u);
  EXPECT_EQ(outer.reports.back().step_count, 10u);

  relay.set_stage(stage_extraction);
  relay.set_step_base(5);
  relay.set_step_count(6);
  EXPECT_FALSE(relay.call(inner));
  EXPECT_EQ(outer.reports.back().stage_id, stage_extraction);
  EXPECT_EQ(outer.reports.back().step, 6u);  // 3 + 5, limited to the count
  EXPECT_EQ(outer.reports.back().step_count, 6u);
  EXPECT_EQ(outer.reports.back().bytes_done, 40u);
  EXPECT_EQ(outer.reports.back().bytes_total, 50u);

  progress_relay_t alone;
  EXPECT_TRUE(alone.call(inner));
}

} // namespace
} // namespace orvo::patch::test
