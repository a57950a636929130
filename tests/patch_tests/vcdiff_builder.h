#pragma once
// Byte-level builders for hand-made VCDIFF deltas.
#include "ovcore/types.h"

#include <lzma.h>

#include <string>
#include <vector>

namespace orvo::patch::test {

using bytes_t = std::vector<u8>;

inline bytes_t to_bytes(const std::string& text) { return bytes_t(text.begin(), text.end()); }

inline void append(bytes_t& out, const bytes_t& more) { out.insert(out.end(), more.begin(), more.end()); }

inline bytes_t integer(u64 value) {
  bytes_t digits;
  do {
    digits.insert(digits.begin(), static_cast<u8>((value & 0x7F) | (digits.empty() ? 0 : 0x80)));
    value >>= 7;
  } while (value);
  return digits;
}

// Straightforward Adler-32 from its definition, independent of the decoder's.
inline u32 reference_adler32(u32 adler, const u8* data, size_t size) {
  u32 a = adler & 0xFFFF, b = adler >> 16;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

inline u32 reference_adler32(const bytes_t& data) { return reference_adler32(1, data.data(), data.size()); }

// Bytes that compress, but not to nothing.
inline bytes_t patterned(size_t size, u32 seed = 1) {
  bytes_t out(size);
  u32 state = seed;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    out[i] = (i / 64) % 3 == 0 ? static_cast<u8>(state >> 24) : static_cast<u8>(i / 7);
  }
  return out;
}

// The three sections of a window, written with the default code table.
struct sections_t {
  bytes_t data, instructions, addresses;

  sections_t& add(const bytes_t& bytes) {
    if (bytes.size() >= 1 && bytes.size() <= 17) {
      instructions.push_back(static_cast<u8>(1 + bytes.size()));
    } else {
      instructions.push_back(1);
      append(instructions, integer(bytes.size()));
    }
    append(data, bytes);
    return *this;
  }
  sections_t& run(u64 size, u8 byte) {
    instructions.push_back(0);
    append(instructions, integer(size));
    data.push_back(byte);
    return *this;
  }
  // encoded: the address as the mode codes it (a byte for the same-cache modes 6 to 8).
  sections_t& copy(u64 size, u64 encoded, u8 mode = 0) {
    const u8 base = static_cast<u8>(19 + 16 * mode);
    if (size >= 4 && size <= 18) {
      instructions.push_back(static_cast<u8>(base + size - 3));
    } else {
      instructions.push_back(base);
      append(instructions, integer(size));
    }
    if (mode >= 6)
      addresses.push_back(static_cast<u8>(encoded));
    else
      append(addresses, integer(encoded));
    return *this;
  }
};

struct window_t {
  u8 indicator = 0;
  u64 segment_length = 0;
  u64 segment_position = 0;
  u64 target_length = 0;
  u8 delta_indicator = 0;
  sections_t sections;
  bool checksum = false;
  u32 checksum_value = 0;
  // Added to the true delta encoding length.
  i64 length_error = 0;
};

// A source window over the whole segment, with the checksum of the expected target.
inline window_t source_window(u64 position, u64 length, const bytes_t& target, sections_t sections) {
  window_t window;
  window.indicator = 0x01 | 0x04;
  window.segment_position = position;
  window.segment_length = length;
  window.target_length = target.size();
  window.sections = std::move(sections);
  window.checksum = true;
  window.checksum_value = reference_adler32(target);
  return window;
}

inline bytes_t header(u8 indicator = 0, const bytes_t& extra = {}) {
  bytes_t out = {0xD6, 0xC3, 0xC4, 0x00, indicator};
  append(out, extra);
  return out;
}

// The delta encoding: length, target length, indicator, section lengths, checksum, sections.
inline bytes_t delta_encoding(const window_t& window) {
  bytes_t body = integer(window.target_length);
  body.push_back(window.delta_indicator);
  append(body, integer(window.sections.data.size()));
  append(body, integer(window.sections.instructions.size()));
  append(body, integer(window.sections.addresses.size()));
  if (window.checksum) {
    const u32 value = window.checksum_value;
    body.insert(body.end(), {u8(value >> 24), u8(value >> 16), u8(value >> 8), u8(value)});
  }
  append(body, window.sections.data);
  append(body, window.sections.instructions);
  append(body, window.sections.addresses);
  bytes_t out = integer(static_cast<u64>(static_cast<i64>(body.size()) + window.length_error));
  append(out, body);
  return out;
}

inline void append_window(bytes_t& out, const window_t& window) {
  out.push_back(window.indicator);
  if ((window.indicator & 0x03) == 0x01 || (window.indicator & 0x03) == 0x02) {
    append(out, integer(window.segment_length));
    append(out, integer(window.segment_position));
  }
  append(out, delta_encoding(window));
}

// A secondary section as the lzma compressor writes it: the size, then an .xz stream with one
// LZMA2 block and no check, flushed but not terminated.
inline bytes_t lzma_section(const bytes_t& plain, i64 size_error = 0) {
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_easy_encoder(&stream, 1, LZMA_CHECK_NONE) != LZMA_OK) return {};
  bytes_t compressed(plain.size() + 65536);
  stream.next_in = plain.data();
  stream.avail_in = plain.size();
  stream.next_out = compressed.data();
  stream.avail_out = compressed.size();
  lzma_ret result = lzma_code(&stream, LZMA_RUN);
  while (result == LZMA_OK) {
    result = lzma_code(&stream, LZMA_SYNC_FLUSH);
    if (result == LZMA_STREAM_END) break;
  }
  compressed.resize(compressed.size() - stream.avail_out);
  lzma_end(&stream);
  bytes_t out = integer(static_cast<u64>(static_cast<i64>(plain.size()) + size_error));
  append(out, compressed);
  return out;
}

} // namespace orvo::patch::test
