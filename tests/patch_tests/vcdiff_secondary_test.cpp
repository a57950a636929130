// Windows whose sections are compressed with the lzma secondary compressor.
#include "delta_run.h"
#include "rfc_example.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvo::patch::test {
namespace {

// A window that adds 64 KiB of patterned data and then copies the RFC source, with the sections
// chosen by mask compressed.
bytes_t secondary_delta(u8 compressed, u8 compressor = 2, i64 size_error = 0) {
  const bytes_t added = patterned(65536);
  sections_t sections;
  sections.add(added).copy(16, 0).run(300, 'q');
  bytes_t target = added;
  append(target, rfc_source);
  append(target, bytes_t(300, 'q'));
  window_t window = source_window(0, rfc_source.size(), target, {});
  window.delta_indicator = compressed;
  bytes_t* parts[3] = {&sections.data, &sections.instructions, &sections.addresses};
  for (u32 i = 0; i < 3; ++i)
    if (compressed & (1u << i)) *parts[i] = lzma_section(*parts[i], size_error);
  window.sections = sections;
  bytes_t delta = header(0x01, {compressor});
  append_window(delta, window);
  return delta;
}

bytes_t secondary_target() {
  bytes_t target = patterned(65536);
  append(target, rfc_source);
  append(target, bytes_t(300, 'q'));
  return target;
}

TEST(vcdiff_secondary, compressed_sections_decode) {
  for (u8 mask : {0x01, 0x02, 0x04, 0x07, 0x00}) {
    SCOPED_TRACE(mask);
    const delta_outcome_t outcome = run_delta(secondary_delta(mask), &rfc_source);
    EXPECT_EQ(outcome.result, decode_delta_ok);
    EXPECT_EQ(outcome.output, secondary_target());
  }
}

TEST(vcdiff_secondary, announced_size_must_match_the_stream) {
  EXPECT_EQ(decoder_error(secondary_delta(0x01, 2, +1), &rfc_source), vcdiff_secondary_failed);
  EXPECT_EQ(decoder_error(secondary_delta(0x01, 2, -1), &rfc_source), vcdiff_secondary_failed);
  EXPECT_EQ(run_delta(secondary_delta(0x01, 2, -1), &rfc_source).result, decode_delta_corrupted);
}

TEST(vcdiff_secondary, damaged_stream_is_rejected) {
  bytes_t delta = secondary_delta(0x01);
  // The .xz stream header follows the section size near the end of the window header.
  const bytes_t magic = {0xFD, '7', 'z', 'X', 'Z', 0x00};
  auto found = std::search(delta.begin(), delta.end(), magic.begin(), magic.end());
  ASSERT_NE(found, delta.end());
  found[1] = '8';
  EXPECT_EQ(decoder_error(delta, &rfc_source), vcdiff_secondary_failed);
}

TEST(vcdiff_secondary, huffman_compressors_are_declared_but_not_decoded) {
  for (u8 id : {1, 16}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(decoder_error(secondary_delta(0x01, id), &rfc_source), vcdiff_secondary_not_supported);
    // Declaring one and leaving every section plain is fine.
    EXPECT_EQ(run_delta(secondary_delta(0x00, id), &rfc_source).output, secondary_target());
  }
}

TEST(vcdiff_secondary, decompressed_sizes_are_bounded) {
  window_t window = source_window(0, rfc_source.size(), rfc_target, rfc_sections());
  window.delta_indicator = 0x01;
  window.sections.data = integer(u64{1} << 40);
  window.sections.data.push_back(0);
  bytes_t delta = header(0x01, {2});
  append_window(delta, window);
  EXPECT_EQ(decoder_error(delta, &rfc_source), vcdiff_sections_too_large);
}

} // namespace
} // namespace orvo::patch::test
