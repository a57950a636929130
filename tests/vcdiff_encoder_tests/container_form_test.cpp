#include "test_data.h"

#include <gtest/gtest.h>
#include <lzma.h>

using namespace test_data;

namespace {

const orvo::vcdiff::encode_options_t container_options{};

// The integer length prefix of a stored id-2 section.
size_t length_prefix_size(const bytes_t& stored) {
  size_t i = 0;
  while (i < stored.size() && (stored[i] & 0x80)) ++i;
  return i + 1;
}

} // namespace

TEST(vcdiff_container_form, header_declares_lzma_and_every_window_carries_its_checksum) {
  const bytes_t source = structured_bytes(200000, 20);
  bytes_t target = source;
  flip_scattered_bytes(&target, 30, 21);
  orvo::vcdiff::encode_options_t options = container_options;
  options.window_size = 64 * 1024;
  const bytes_t delta = encode(&source, target, options);
  ASSERT_GE(delta.size(), 6u);
  EXPECT_EQ(delta[4], 0x01);
  EXPECT_EQ(delta[5], 2);
  const reference::delta_t d = round_trip(&source, target, options);
  ASSERT_EQ(d.windows.size(), 4u);
  size_t offset = 0;
  for (const reference::window_t& w : d.windows) {
    EXPECT_EQ(w.indicator, 0x01 | 0x04);
    EXPECT_EQ(w.checksum, reference::adler32(target.data() + offset, w.target_length));
    offset += w.target_length;
  }
}

// True when an .xz decoder given all of the bytes, and room for more output, sees the stream end.
bool stream_ends(const uint8_t* bytes, size_t size) {
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_stream_decoder(&stream, UINT64_MAX, 0) != LZMA_OK) return true;
  std::vector<uint8_t> out(size * 64 + 4096);
  stream.next_in = bytes;
  stream.avail_in = size;
  stream.next_out = out.data();
  stream.avail_out = out.size();
  lzma_ret result = LZMA_OK;
  while (result == LZMA_OK && stream.avail_in > 0) result = lzma_code(&stream, LZMA_RUN);
  if (result == LZMA_OK) result = lzma_code(&stream, LZMA_RUN);
  lzma_end(&stream);
  return result == LZMA_STREAM_END;
}

TEST(vcdiff_container_form, compressible_sections_are_unterminated_xz_streams_without_check) {
  // New text-like data makes a large, compressible data section.
  const bytes_t target = structured_bytes(300000, 22);
  const reference::delta_t d = round_trip(nullptr, target, container_options);
  ASSERT_EQ(d.windows.size(), 1u);
  const reference::window_t& w = d.windows[0];
  ASSERT_TRUE(w.delta_indicator & 0x01);
  const bytes_t& stored = w.stored[0];
  const size_t prefix = length_prefix_size(stored);
  ASSERT_GT(stored.size(), prefix + 12);
  const uint8_t stream_header_magic[] = {0xFD, '7', 'z', 'X', 'Z', 0x00};
  EXPECT_TRUE(std::equal(std::begin(stream_header_magic), std::end(stream_header_magic), stored.begin() + prefix));
  EXPECT_EQ(stored[prefix + 6], 0x00); // stream flags: check type none
  EXPECT_EQ(stored[prefix + 7], 0x00);
  // Not terminated: no end-of-LZMA2 marker, block padding, index or stream footer ("YZ").
  EXPECT_FALSE(stored[stored.size() - 2] == 'Y' && stored[stored.size() - 1] == 'Z');
  EXPECT_FALSE(stream_ends(stored.data() + prefix, stored.size() - prefix));
  bytes_t plain;
  std::string error;
  ASSERT_TRUE(reference::decompress_lzma_section(stored, &plain, &error)) << error;
  EXPECT_LT(stored.size(), plain.size());
}

TEST(vcdiff_container_form, sections_stay_plain_where_compression_does_not_pay) {
  const bytes_t noise = random_bytes(100000, 23);
  const reference::delta_t random_delta = round_trip(nullptr, noise, container_options);
  ASSERT_EQ(random_delta.windows.size(), 1u);
  EXPECT_FALSE(random_delta.windows[0].delta_indicator & 0x01);
  EXPECT_EQ(random_delta.windows[0].stored[0], noise);

  const bytes_t tiny{1, 2, 3, 4, 5};
  const reference::delta_t tiny_delta = round_trip(nullptr, tiny, container_options);
  ASSERT_EQ(tiny_delta.windows.size(), 1u);
  EXPECT_EQ(tiny_delta.windows[0].delta_indicator, 0);
  EXPECT_EQ(tiny_delta.windows[0].indicator, 0x04);
}

TEST(vcdiff_container_form, round_trips_across_default_windows_with_secondary_sections) {
  const bytes_t source = structured_bytes(18 * mib, 24);
  bytes_t target = source;
  const bytes_t fresh = structured_bytes(2 * mib, 25);
  target.insert(target.begin() + 9 * mib, fresh.begin(), fresh.end());
  flip_scattered_bytes(&target, 2000, 26);
  size_t size = 0;
  const reference::delta_t d = round_trip(&source, target, container_options, &size);
  ASSERT_EQ(d.windows.size(), 2u);
  for (const reference::window_t& w : d.windows) EXPECT_TRUE(w.indicator & 0x04);
  EXPECT_TRUE(d.windows[0].delta_indicator & 0x01);
  size_t plain_size = 0;
  round_trip(&source, target, plain_options(), &plain_size);
  EXPECT_LT(size, plain_size);
}
