// The decode_delta driver: chunks, source blocks, progress, abort and its result codes.
#include "delta_run.h"
#include "patch/delta_source_cache.h"
#include "patch/vcdiff_format.h"
#include "rfc_example.h"
#include "support/progress_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace orvo::patch::test {
namespace {

constexpr u64 block = 0x800000;

u8 source_byte(u64 offset) { return static_cast<u8>((offset * 2654435761u) >> 13); }

void generate_source(u8* out, u32 size, u64 offset) {
  for (u32 i = 0; i < size; ++i) out[i] = source_byte(offset + i);
}

bytes_t generated(u64 offset, u64 size) {
  bytes_t bytes(size);
  generate_source(bytes.data(), static_cast<u32>(size), offset);
  return bytes;
}

using orvo::test::progress_recorder_t;

TEST(decode_delta, empty_delta_gives_empty_output) {
  progress_recorder_t progress;
  const delta_outcome_t outcome = run_delta({}, nullptr, 0, &progress);
  EXPECT_EQ(outcome.result, decode_delta_ok);
  EXPECT_TRUE(outcome.output.empty());
  ASSERT_FALSE(progress.reports.empty());
}

TEST(decode_delta, delta_inside_a_larger_container) {
  bytes_t container = to_bytes("KTLP-padding-");
  const u64 offset = container.size();
  append(container, rfc_delta());
  append(container, to_bytes("trailing bytes of another block"));
  test_file_t file("container.ktl", container);
  test_file_t source("source.bin", rfc_source);
  test_file_t output("output.bin");
  EXPECT_EQ(decode_delta(file, offset, rfc_delta().size(), &source, output, nullptr, nullptr, 28), decode_delta_ok);
  EXPECT_EQ(output.bytes(), rfc_target);
}

// Windows of 3 MiB of added data, checksummed, padded by an application header so that the
// whole delta is exactly two 8 MiB chunks: windows straddle the chunk boundary.
bytes_t two_chunk_delta(bytes_t& target) {
  bytes_t windows;
  for (u64 i = 0; i < 5; ++i) {
    const bytes_t added = generated(i * 3000000, 3000000);
    append(target, added);
    window_t window;
    window.indicator = 0x04;
    window.target_length = added.size();
    window.sections.add(added);
    window.checksum = true;
    window.checksum_value = reference_adler32(added);
    append_window(windows, window);
  }
  const u64 total = 2 * block;
  u64 padding = 0;
  for (u64 digits = 1; digits <= 4; ++digits)
    if (integer(total - windows.size() - 5 - digits).size() == digits) padding = total - windows.size() - 5 - digits;
  bytes_t delta = header(0x04, integer(padding));
  delta.resize(delta.size() + padding, 0xAA);
  append(delta, windows);
  return delta;
}

TEST(decode_delta, delta_of_exactly_two_chunks_with_straddling_windows) {
  bytes_t target;
  const bytes_t delta = two_chunk_delta(target);
  ASSERT_EQ(delta.size(), 2 * block);
  test_file_t container("container.ktl", delta);
  test_file_t output("output.bin");
  progress_recorder_t progress;
  EXPECT_EQ(decode_delta(container, 0, delta.size(), nullptr, output, nullptr, &progress, target.size()),
            decode_delta_ok);
  EXPECT_EQ(output.bytes(), target);
  EXPECT_EQ(container.reads, 2u);
  ASSERT_GE(progress.reports.size(), 2u);
  for (size_t i = 1; i < progress.reports.size(); ++i)
    EXPECT_GE(progress.reports[i].bytes_done, progress.reports[i - 1].bytes_done);
  EXPECT_EQ(progress.reports.back().bytes_done, target.size());
  EXPECT_EQ(progress.reports.back().bytes_total, target.size());
}

// A 20 MiB source: windows copy from each of its three blocks, one COPY crosses from block 0 to
// block 1 and the last window's segment runs to the end of the source.
TEST(decode_delta, source_spanning_several_blocks) {
  const u64 source_size = 20 * 1024 * 1024;
  test_file_t source("source.bin", source_size, generate_source);
  bytes_t delta = header();
  bytes_t target;
  auto add_window = [&](u64 position, u64 length, sections_t sections, const bytes_t& expected) {
    append_window(delta, source_window(position, length, expected, std::move(sections)));
    append(target, expected);
  };
  {
    sections_t s;
    s.copy(1000, block - 500).add(to_bytes("edit")).copy(100, 10);
    bytes_t expected = generated(block - 500, 1000);
    append(expected, to_bytes("edit"));
    append(expected, generated(10, 100));
    add_window(0, 2 * block, s, expected);
  }
  {
    sections_t s;
    s.copy(5000, 0).copy(64, block);
    bytes_t expected = generated(block, 5000);
    append(expected, generated(2 * block, 64));
    add_window(block, source_size - block, s, expected);
  }
  {
    sections_t s;
    s.copy(4096, source_size - 4096 - 2 * block);
    add_window(2 * block, source_size - 2 * block, s, generated(source_size - 4096, 4096));
  }
  test_file_t container("container.ktl", delta);
  test_file_t output("output.bin");
  EXPECT_EQ(decode_delta(container, 0, delta.size(), &source, output, nullptr, nullptr, target.size()),
            decode_delta_ok);
  EXPECT_EQ(output.bytes(), target);
  EXPECT_EQ(source.reads, 3u);  // each block read once
}

// Source segments and copies that cross 4 GiB in a source of 4 GiB and three blocks.
TEST(decode_delta, source_positions_past_4_gib) {
  constexpr u64 four_gib = 1ull << 32;
  test_file_t source("source.bin", four_gib + 3 * block, generate_source);
  const u64 position = four_gib - block - 100;
  sections_t sections;
  sections.copy(1000, block + 100 - 500).add(to_bytes("edit")).copy(64, 2 * block + 100);
  bytes_t expected = generated(four_gib - 500, 1000);
  append(expected, to_bytes("edit"));
  append(expected, generated(four_gib + block, 64));
  bytes_t delta = header();
  append_window(delta, source_window(position, 2 * block + 200, expected, sections));
  test_file_t container("container.ktl", delta);
  test_file_t output("output.bin");
  EXPECT_EQ(decode_delta(container, 0, delta.size(), &source, output, nullptr, nullptr, expected.size()),
            decode_delta_ok);
  EXPECT_EQ(output.bytes(), expected);
}

// Keeps the size and the bytes around 4 GiB of what is written to it, in order.
class boundary_sink_t final : public file_t {
public:
  static constexpr u64 watch_start = (1ull << 32) - 4;
  boundary_sink_t() : file_t("target.bin") {}
  bool uses_read_cache() const override { return false; }
  fs_io_request_t* io_read(void*, u32, u64) override { return nullptr; }
  fs_io_request_t* io_write(const void* data, u32 size, u64 offset) override {
    if (offset != written) return nullptr;
    const u8* bytes = static_cast<const u8*>(data);
    for (u64 at = std::max(offset, watch_start); at < std::min(offset + size, watch_start + 8); ++at)
      watched[at - watch_start] = bytes[at - offset];
    written += size;
    return fs_complete_request();
  }
  bool is_done(fs_io_request_t*) override { return true; }
  bool wait(fs_io_request_t*) override { return true; }
  void release(fs_io_request_t*) override {}
  bool stat(file_info_t* info) override {
    if (info) info->size = written;
    return true;
  }
  u64 written = 0;
  u8 watched[8] = {};
};

// 256 windows of the largest size fill 4 GiB exactly; the last window crosses into the next.
TEST(decode_delta, target_past_4_gib) {
  bytes_t delta = header();
  for (u32 i = 0; i < 256; ++i) {
    window_t window;
    window.target_length = vcdiff_max_target_window;
    window.sections.run(vcdiff_max_target_window, static_cast<u8>(i));
    append_window(delta, window);
  }
  window_t last;
  last.target_length = 5;
  last.sections.add(to_bytes("tail!"));
  append_window(delta, last);
  const u64 total = (1ull << 32) + 5;
  test_file_t container("container.ktl", delta);
  boundary_sink_t output;
  progress_recorder_t progress;
  EXPECT_EQ(decode_delta(container, 0, delta.size(), nullptr, output, nullptr, &progress, total), decode_delta_ok);
  EXPECT_EQ(output.written, total);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(output.watched), 8), std::string("\xFF\xFF\xFF\xFFtail", 8));
  ASSERT_FALSE(progress.reports.empty());
  EXPECT_EQ(progress.reports.back().bytes_done, total);
  EXPECT_EQ(progress.reports.back().bytes_total, total);
}

// Five windows walk a 40 MiB source upwards with an edit in each, straddling blocks, while
// every read and write completes only when it is waited for: the next source block is read
// ahead and each window's output is written while the next one decodes, never touched early.
TEST(decode_delta, requests_in_flight_are_waited_for_before_their_buffers_are_used) {
  const u64 source_size = 5 * block;
  test_file_t source("source.bin", source_size, generate_source);
  bytes_t delta = header();
  bytes_t target;
  for (u64 position = block / 2; position + block <= source_size; position += 3 * block / 4) {
    sections_t s;
    s.copy(block / 2, 0).add(to_bytes("edit")).copy(block / 2 - 4, block / 2 + 4);
    bytes_t expected = generated(position, block / 2);
    append(expected, to_bytes("edit"));
    append(expected, generated(position + block / 2 + 4, block / 2 - 4));
    append_window(delta, source_window(position, block, expected, std::move(s)));
    append(target, expected);
  }
  test_file_t container("container.ktl", delta);
  test_file_t output("output.bin");
  for (test_file_t* file : {&source, &container, &output}) file->deferred = true;
  EXPECT_EQ(decode_delta(container, 0, delta.size(), &source, output, nullptr, nullptr, target.size()),
            decode_delta_ok);
  EXPECT_TRUE(output.bytes() == target);
  EXPECT_EQ(output.position(), target.size());
  EXPECT_EQ(source.reads, 5u);  // each block once
  for (test_file_t* file : {&source, &container, &output}) EXPECT_EQ(file->outstanding(), 0u);
}

TEST(decode_delta, failed_write_in_flight_is_reported_when_the_next_window_is_ready) {
  const bytes_t one_window = rfc_delta();
  bytes_t delta = one_window;
  append(delta, bytes_t(one_window.begin() + 5, one_window.end()));  // a second window
  test_file_t container("container.ktl", delta);
  test_file_t source("source.bin", rfc_source);
  test_file_t output("output.bin");
  output.deferred = true;
  output.fail_deferred = true;
  log_capture_t log;
  EXPECT_EQ(decode_delta(container, 0, delta.size(), &source, output, nullptr, nullptr, 56),
            decode_delta_write_error);
  EXPECT_TRUE(log.contains("[ERR] Error while writing to 'output.bin'"));
  EXPECT_EQ(output.writes, 1u);
  EXPECT_EQ(output.outstanding(), 0u);
  EXPECT_EQ(output.position(), 0u);
}

TEST(decode_delta, abort_at_the_first_or_the_final_report) {
  progress_recorder_t first(0);
  const delta_outcome_t outcome = run_delta(rfc_delta(), &rfc_source, 28, &first);
  EXPECT_EQ(outcome.result, decode_delta_aborted);
  EXPECT_TRUE(outcome.output.empty());
  ASSERT_EQ(first.reports.size(), 1u);
  EXPECT_EQ(first.reports[0].bytes_done, 0u);
  EXPECT_EQ(first.reports[0].bytes_total, 28u);

  progress_recorder_t counting;
  ASSERT_EQ(run_delta(rfc_delta(), &rfc_source, 28, &counting).result, decode_delta_ok);
  progress_recorder_t last(counting.reports.size() - 1);
  EXPECT_EQ(run_delta(rfc_delta(), &rfc_source, 28, &last).result, decode_delta_aborted);
}

TEST(decode_delta, failures_of_files_and_key) {
  constexpr u64 never = ~u64{0};
  struct case_t {
    u64 container_reads, source_reads, output_writes;
    bool keyed;
    decode_delta_result_t result;
    const char* line;
  };
  const case_t cases[] = {
      {0, never, never, false, decode_delta_container_read_error, "[ERR] Error while reading from 'container.ktl'"},
      {never, 0, never, false, decode_delta_source_read_error, "[ERR] Error while reading from 'source.bin'"},
      {never, never, 0, false, decode_delta_write_error, "[ERR] Error while writing to 'output.bin'"},
      {never, never, never, true, decode_delta_internal_error, "[ERR] Encryption is currently not supported"},
  };
  const bytes_t delta = rfc_delta();
  const u8 key_bytes[32] = {};
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.line);
    log_capture_t log;
    test_file_t container("container.ktl", delta), source("source.bin", rfc_source), output("output.bin");
    container.fail_reads_after = c.container_reads;
    source.fail_reads_after = c.source_reads;
    output.fail_writes_after = c.output_writes;
    const aes_key_t* key = c.keyed ? reinterpret_cast<const aes_key_t*>(key_bytes) : nullptr;
    EXPECT_EQ(decode_delta(container, 0, delta.size(), &source, output, key, nullptr, 28), c.result);
    EXPECT_TRUE(log.contains(c.line));
    if (c.keyed) {
      EXPECT_EQ(container.reads, 0u);
    }
  }
}

TEST(delta_source_cache, blocks_past_the_end_are_empty_and_held_blocks_are_not_reread) {
  test_file_t source("source.bin", block + 5, generate_source);
  delta_source_cache_t cache(source);
  const delta_source_cache_t::block_t* last = cache.fetch(1);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->length, 5u);
  EXPECT_EQ(last->bytes[4], source_byte(block + 4));
  const delta_source_cache_t::block_t* past = cache.fetch(2);
  ASSERT_NE(past, nullptr);
  EXPECT_EQ(past->length, 0u);
  EXPECT_NE(cache.fetch(~u64{0}), nullptr);
  EXPECT_EQ(cache.fetch(1)->length, 5u);
  EXPECT_EQ(source.reads, 1u);
}

TEST(delta_source_cache, least_recently_used_block_is_evicted) {
  test_file_t source("source.bin", 40 * block, [](u8* out, u32 size, u64) { std::memset(out, 0, size); });
  delta_source_cache_t cache(source);
  for (u64 n = 0; n < 4; ++n) ASSERT_NE(cache.fetch(n), nullptr);
  ASSERT_NE(cache.fetch(0), nullptr);  // held: block 1 is now the oldest
  ASSERT_NE(cache.fetch(4), nullptr);  // evicts block 1
  EXPECT_EQ(source.reads, 5u);
  ASSERT_NE(cache.fetch(0), nullptr);
  EXPECT_EQ(source.reads, 5u);
  EXPECT_FALSE(cache.holds(1));
}

TEST(delta_source_cache, room_doubles_up_to_the_maximum_when_evicted_blocks_return) {
  test_file_t source("source.bin", 40 * block, [](u8* out, u32 size, u64) { std::memset(out, 0, size); });
  delta_source_cache_t cache(source);
  for (u64 n = 0; n < 40; ++n) ASSERT_NE(cache.fetch(n), nullptr);
  EXPECT_EQ(cache.room(), delta_source_cache_t::initial_blocks);  // read in order: no growth
  EXPECT_EQ(source.reads, 40u);
  for (int pass = 0; pass < 4; ++pass)
    for (u64 n = 0; n < 32; ++n) ASSERT_NE(cache.fetch(n), nullptr);
  EXPECT_EQ(cache.room(), delta_source_cache_t::max_blocks);
  const u32 reads = source.reads;
  for (u64 n = 0; n < 32; ++n) ASSERT_NE(cache.fetch(n), nullptr);
  EXPECT_EQ(source.reads, reads);
  ASSERT_NE(cache.fetch(32), nullptr);  // full: evicts block 0
  EXPECT_FALSE(cache.holds(0));
  EXPECT_EQ(cache.room(), delta_source_cache_t::max_blocks);
}

TEST(delta_source_cache, read_ahead_is_fetched_without_reading_again) {
  test_file_t source("source.bin", 3 * block + 5, generate_source);
  source.deferred = true;
  delta_source_cache_t cache(source);
  ASSERT_NE(cache.fetch(0), nullptr);
  cache.read_ahead(1);
  cache.read_ahead(2);  // one read ahead at a time
  EXPECT_EQ(source.reads, 2u);
  EXPECT_EQ(source.outstanding(), 1u);
  const delta_source_cache_t::block_t* ahead = cache.fetch(1);
  ASSERT_NE(ahead, nullptr);
  EXPECT_EQ(source.outstanding(), 0u);
  EXPECT_EQ(ahead->length, block);
  EXPECT_EQ(ahead->bytes[block - 1], source_byte(2 * block - 1));
  cache.read_ahead(0);  // held
  cache.read_ahead(4);  // past the end
  EXPECT_EQ(source.reads, 2u);
  cache.read_ahead(3);
  EXPECT_EQ(cache.fetch(3)->length, 5u);
  EXPECT_EQ(source.reads, 3u);
}

TEST(delta_source_cache, failed_read_ahead_fails_its_fetch_and_is_read_again_later) {
  test_file_t source("source.bin", 2 * block, generate_source);
  source.deferred = true;
  delta_source_cache_t cache(source);
  source.fail_deferred = true;
  cache.read_ahead(1);
  {
    log_capture_t log;
    EXPECT_EQ(cache.fetch(1), nullptr);
    EXPECT_TRUE(log.contains("[ERR] Error while reading from 'source.bin'"));
  }
  EXPECT_FALSE(cache.holds(1));
  source.fail_deferred = false;
  const delta_source_cache_t::block_t* again = cache.fetch(1);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->bytes[0], source_byte(block));
  EXPECT_EQ(source.reads, 2u);
}

TEST(delta_source_cache, evicting_a_block_being_read_ahead_ends_its_read) {
  test_file_t source("source.bin", 41 * block, [](u8* out, u32 size, u64) { std::memset(out, 0, size); });
  source.deferred = true;
  delta_source_cache_t cache(source);
  cache.read_ahead(40);
  for (u64 n = 0; n < 3; ++n) ASSERT_NE(cache.fetch(n), nullptr);
  EXPECT_EQ(source.outstanding(), 1u);
  ASSERT_NE(cache.fetch(3), nullptr);  // evicts block 40, the least recently used
  EXPECT_EQ(source.outstanding(), 0u);
  EXPECT_FALSE(cache.holds(40));
  EXPECT_TRUE(cache.holds(0));
  EXPECT_EQ(source.reads, 5u);
}

} // namespace
} // namespace orvo::patch::test
