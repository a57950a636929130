// Decoding of hand-built deltas: the RFC 3284 example, code tables, caches and every rejection.
#include "delta_run.h"
#include "code_table_builder.h"
#include "patch/vcdiff_code_table.h"
#include "rfc_example.h"

#include <gtest/gtest.h>

namespace orvo::patch::test {
namespace {

// One source window over the RFC source.
bytes_t rfc_window(sections_t sections, const bytes_t& target, bytes_t head = header()) {
  append_window(head, source_window(0, rfc_source.size(), target, std::move(sections)));
  return head;
}

// The instruction stream of several windows: an application header, a window copying from its
// own output and one with both copy bits set (no copy window follows).
bytes_t streamed_windows() {
  bytes_t delta = rfc_window(rfc_sections(), rfc_target, header(0x04, integer(3)));
  delta.insert(delta.begin() + 6, {'a', 'p', 'p'});
  window_t own;
  own.target_length = 10;
  own.sections.add(to_bytes("12")).copy(8, 0);
  append_window(delta, own);
  window_t both_bits;
  both_bits.indicator = 0x03;
  both_bits.target_length = 3;
  both_bits.sections.add(to_bytes("end"));
  append_window(delta, both_bits);
  return delta;
}

bytes_t empty_window_then_rfc() {
  window_t window;
  window.sections.run(0, 'r').add({});
  bytes_t delta = header();
  append_window(delta, window);
  return rfc_window(rfc_sections(), rfc_target, delta);
}

// Entry 200 of the custom table: COPY 12 here-coded, then RUN 4.
bytes_t custom_table_delta() {
  sections_t sections;
  sections.copy(4, 0).add(to_bytes("wxyz")).copy(4, 4);
  sections.instructions.push_back(200);
  append(sections.addresses, integer(4));
  sections.data.push_back('z');
  return rfc_window(sections, rfc_target, header(0x02, code_table_data(4, 3, custom_table_string())));
}

// A window of size bytes run of 0x5A; 16 MiB is the largest a window may be.
bytes_t run_window(u64 size) {
  window_t window;
  window.target_length = size;
  window.sections.run(size, 0x5A);
  bytes_t delta = header();
  append_window(delta, window);
  return delta;
}

// The first window whole, the second cut short: decoding ends with the first.
bytes_t second_window_cut() {
  bytes_t delta = rfc_delta();
  const bytes_t again = rfc_delta();
  delta.insert(delta.end(), again.begin() + 5, again.end() - 3);
  return delta;
}

// The default table with every mode above 1 lowered to 1, for a table without caches.
bytes_t cacheless_table() {
  bytes_t table = default_table_string();
  for (u32 i = 1024; i < 1536; ++i) table[i] = std::min<u8>(table[i], 1);
  return table;
}

TEST(vcdiff_decoding, deltas_give_their_targets) {
  struct case_t {
    const char* name;
    bytes_t delta, target;
  };
  // here for COPY 12,24 is 16 + 12 = 28; the near cache then holds 0 and 4, and the last COPY 4,4
  // repeats address 4 from same-cache block 0.
  const bytes_t caches_target = to_bytes("abcdwxyzefghefghefghefghefghzz");
  sections_t caches;
  caches.copy(4, 0).add(to_bytes("wxyz")).copy(4, 4, 3 /* near[1] = 0 */).copy(12, 4, 1 /* here */);
  caches.copy(4, 4, 6 /* same[4] */).add(to_bytes("zz"));
  // 163: ADD 1 + COPY 4 mode 0; 247: COPY 4 mode 0 + ADD 1.
  const sections_t paired = {.data = to_bytes("XY"), .instructions = {163, 247}, .addresses = {0x00, 0x02}};
  bytes_t streamed_target = rfc_target;
  append(streamed_target, to_bytes("1212121212end"));
  const case_t cases[] = {
      {"RFC example with self addresses", rfc_delta(), rfc_target},
      {"second window cut short", second_window_cut(), rfc_target},
      {"largest target window", run_window(16777216), bytes_t(16777216, 0x5A)},
      {"here, near and same addresses", rfc_window(caches, caches_target), caches_target},
      {"paired instructions of the default table", rfc_window(paired, to_bytes("XabcdcdefY")),
       to_bytes("XabcdcdefY")},
      {"windows in order, own copies, no copy window", streamed_windows(), streamed_target},
      {"empty window with empty instructions", empty_window_then_rfc(), rfc_target},
      {"application-defined code table", custom_table_delta(), rfc_target},
      {"custom cache sizes", rfc_window(rfc_sections(), rfc_target, header(0x02, code_table_data(0, 0, cacheless_table()))),
       rfc_target},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.name);
    const delta_outcome_t outcome = run_delta(c.delta, &rfc_source);
    EXPECT_EQ(outcome.result, decode_delta_ok);
    EXPECT_EQ(outcome.output, c.target);
  }
}

struct rejection_t {
  const char* name;
  bytes_t delta;
  vcdiff_error_t error;
};

// Deltas refused whether or not a source is given.
std::vector<rejection_t> sourceless_rejections() {
  bytes_t bad_magic = header();
  bad_magic[2] = 0xC5;
  bytes_t bad_version = header();
  bad_version[3] = 1;
  bytes_t no_type_4 = custom_table_string();
  no_type_4[7] = 4;
  bytes_t short_table = custom_table_string();
  short_table.pop_back();
  bytes_t overlong = header();
  overlong.push_back(0);  // window indicator
  overlong.insert(overlong.end(), 10, 0xFF);
  overlong.push_back(0x01);
  return {
      {"bad magic", bad_magic, vcdiff_bad_magic},
      {"version 1", bad_version, vcdiff_bad_version},
      {"header indicator 0x08", header(0x08), vcdiff_bad_header_indicator},
      {"secondary id 3", header(0x01, {3}), vcdiff_unknown_secondary},
      {"secondary id 0", header(0x01, {0}), vcdiff_unknown_secondary},
      {"code table data short", header(0x02, {0x02, 0x04, 0x03}), vcdiff_bad_code_table},
      {"default modes up to 8 without caches", header(0x02, code_table_data(0, 0, default_table_string())),
       vcdiff_bad_code_table},
      {"instruction type 4", header(0x02, code_table_data(4, 3, no_type_4)), vcdiff_bad_code_table},
      {"code table of 1535 bytes", header(0x02, code_table_data(4, 3, short_table)), vcdiff_bad_code_table},
      {"source window without source", rfc_delta(), vcdiff_no_source},
      {"overlong integer", overlong, vcdiff_bad_integer},
      {"target window one byte too large", run_window(16777217), vcdiff_window_too_large},
  };
}

TEST(vcdiff_rejections, without_source) {
  for (const rejection_t& rejection : sourceless_rejections()) {
    SCOPED_TRACE(rejection.name);
    log_capture_t log;
    EXPECT_EQ(run_delta(rejection.delta, nullptr).result, decode_delta_corrupted);
    EXPECT_TRUE(log.contains("Unknown error " + std::to_string(rejection.error)));
    EXPECT_EQ(decoder_error(rejection.delta, nullptr), rejection.error);
  }
}

bytes_t rfc_with(const std::function<void(window_t&)>& change, bytes_t head = header()) {
  window_t window = source_window(0, rfc_source.size(), rfc_target, rfc_sections());
  change(window);
  append_window(head, window);
  return head;
}

bytes_t followed_by_byte(bytes_t delta) {
  delta.push_back(0);
  return delta;
}

TEST(vcdiff_rejections, windows) {
  const std::vector<rejection_t> rejections = {
      {"window indicator 0x08", rfc_with([](window_t& w) { w.indicator |= 0x08; }), vcdiff_bad_window_indicator},
      {"delta indicator 0x08", rfc_with([](window_t& w) { w.delta_indicator = 0x08; }), vcdiff_bad_delta_indicator},
      {"compressed section without compressor", rfc_with([](window_t& w) { w.delta_indicator = 0x01; }),
       vcdiff_bad_delta_indicator},
      {"encoding length one more", followed_by_byte(rfc_with([](window_t& w) { w.length_error = 1; })),
       vcdiff_encoding_length_mismatch},
      {"encoding length one less", rfc_with([](window_t& w) { w.length_error = -1; }),
       vcdiff_encoding_length_mismatch},
      {"data short", rfc_with([](window_t& w) { w.sections.data.pop_back(); }), vcdiff_data_short},
      {"data left over", rfc_with([](window_t& w) { w.sections.data.push_back('!'); }), vcdiff_sections_left_over},
      {"instructions short", rfc_with([](window_t& w) { w.sections.instructions.resize(4); }),
       vcdiff_instructions_short},
      {"instruction size missing", rfc_with([](window_t& w) { w.sections.instructions.pop_back(); }),
       vcdiff_instructions_short},
      {"instructions left over", rfc_with([](window_t& w) { w.sections.instructions.push_back(2); }),
       vcdiff_bad_instruction_size},
      {"addresses short", rfc_with([](window_t& w) { w.sections.addresses.pop_back(); }), vcdiff_addresses_short},
      {"addresses left over", rfc_with([](window_t& w) { w.sections.addresses.push_back(0); }),
       vcdiff_sections_left_over},
      {"target length larger", rfc_with([](window_t& w) { ++w.target_length; }), vcdiff_instructions_short},
      {"target length smaller", rfc_with([](window_t& w) { --w.target_length; }), vcdiff_bad_instruction_size},
      {"checksum flipped", rfc_with([](window_t& w) { w.checksum_value ^= 0x00010000; }), vcdiff_checksum_mismatch},
      {"source segment past the end", rfc_with([](window_t& w) { w.segment_position = 1; }),
       vcdiff_source_past_end},
      {"source segment offset overflows", rfc_with([](window_t& w) { w.segment_position = ~u64{0}; }),
       vcdiff_source_past_end},
      {"target copy window not yet produced", rfc_with([](window_t& w) { w.indicator = 0x02 | 0x04; }),
       vcdiff_bad_copy_window},
  };
  for (const rejection_t& rejection : rejections) {
    SCOPED_TRACE(rejection.name);
    EXPECT_EQ(run_delta(rejection.delta, &rfc_source).result, decode_delta_corrupted);
    EXPECT_EQ(decoder_error(rejection.delta, &rfc_source), rejection.error);
  }
}

TEST(vcdiff_rejections, addresses_out_of_range) {
  struct case_t {
    const char* name;
    u64 size, encoded;
    u8 mode;
    vcdiff_error_t error;
  };
  // The first COPY is at here = 16: the source window and nothing of the target yet.
  const case_t cases[] = {
      {"address at here", 4, 16, 0, vcdiff_bad_address},
      {"address beyond here", 4, 1000, 0, vcdiff_bad_address},
      {"here minus more than here", 4, 17, 1, vcdiff_bad_address},
      {"copy straddling source and target", 8, 12, 0, vcdiff_bad_address},
      {"near address overflowing", 4, ~u64{0}, 2, vcdiff_bad_address},
      {"size beyond the window", 100, 0, 0, vcdiff_bad_instruction_size},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.name);
    sections_t sections;
    sections.copy(c.size, c.encoded, c.mode);
    bytes_t target(c.size < 20 ? c.size : 20, 'a');
    bytes_t delta = header();
    append_window(delta, source_window(0, rfc_source.size(), target, sections));
    EXPECT_EQ(run_delta(delta, &rfc_source).result, decode_delta_corrupted);
    EXPECT_EQ(decoder_error(delta, &rfc_source), c.error);
  }
}

TEST(vcdiff_rejections, copies_from_a_target_copy_window_are_not_implemented) {
  bytes_t delta = header();
  window_t first;
  first.target_length = 8;
  first.sections.add(to_bytes("01234567"));
  append_window(delta, first);
  window_t second;
  second.indicator = 0x02;
  second.segment_length = 8;
  second.segment_position = 0;
  second.target_length = 4;
  second.sections.add(to_bytes("ab")).copy(2, 8 + 0);  // copies within its own target: fine
  append_window(delta, second);
  EXPECT_EQ(run_delta(delta, nullptr).output, to_bytes("01234567abab"));

  second.sections = {};
  second.sections.copy(4, 2);
  delta = header();
  append_window(delta, first);
  append_window(delta, second);
  EXPECT_EQ(decoder_error(delta, nullptr), vcdiff_target_copy_not_implemented);
}

} // namespace
} // namespace orvo::patch::test
