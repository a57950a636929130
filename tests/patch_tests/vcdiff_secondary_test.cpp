// Windows whose sections are compressed with the lzma secondary compressor.
#include "delta_run.h"
#include "rfc_example.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvo::patch::test {
namespace {

bytes_t patterned(size_t size) {
  bytes_t bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<u8>((i * 7) ^ (i >> 5));
  return bytes;
}

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

// A secondary section announcing far more bytes than a window can hold.
bytes_t oversized_section_delta() {
  window_t window = source_window(0, rfc_source.size(), rfc_target, rfc_sections());
  window.delta_indicator = 0x01;
  window.sections.data = integer(u64{1} << 40);
  window.sections.data.push_back(0);
  bytes_t delta = header(0x01, {2});
  append_window(delta, window);
  return delta;
}

bytes_t damaged_xz_magic() {
  bytes_t delta = secondary_delta(0x01);
  const bytes_t magic = {0xFD, '7', 'z', 'X', 'Z', 0x00};
  auto found = std::search(delta.begin(), delta.end(), magic.begin(), magic.end());
  if (found != delta.end()) found[1] = '8';
  return delta;
}

TEST(vcdiff_secondary, rejections) {
  struct case_t {
    const char* name;
    bytes_t delta;
    vcdiff_error_t error;
  };
  const case_t cases[] = {
      {"announced size one more", secondary_delta(0x01, 2, +1), vcdiff_secondary_failed},
      {"announced size one less", secondary_delta(0x01, 2, -1), vcdiff_secondary_failed},
      {"damaged stream header", damaged_xz_magic(), vcdiff_secondary_failed},
      {"huffman id 1", secondary_delta(0x01, 1), vcdiff_secondary_not_supported},
      {"huffman id 16", secondary_delta(0x01, 16), vcdiff_secondary_not_supported},
      {"decompressed size beyond bounds", oversized_section_delta(), vcdiff_sections_too_large},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(decoder_error(c.delta, &rfc_source), c.error);
    EXPECT_EQ(run_delta(c.delta, &rfc_source).result, decode_delta_corrupted);
  }
  // Declaring a huffman compressor and leaving every section plain is fine.
  for (u8 id : {1, 16}) EXPECT_EQ(run_delta(secondary_delta(0x00, id), &rfc_source).output, secondary_target());
}

} // namespace
} // namespace orvo::patch::test
