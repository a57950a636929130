#pragma once
// A small VCDIFF decoder written from RFC 3284 for checking the encoder's output.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace reference {

enum class form_t {
  plain,     // RFC 3284 as published: no secondary compressor, no checksum, no application header
  container, // also secondary compressor id 2 sections and the Adler-32 window checksum (bit 0x04)
};

struct window_t {
  uint8_t indicator = 0;
  uint64_t segment_length = 0;
  uint64_t segment_position = 0;
  uint64_t target_length = 0;
  uint8_t delta_indicator = 0;
  bool has_checksum = false;
  uint32_t checksum = 0;
  std::vector<uint8_t> stored[3]; // data, instructions, addresses as they appear in the delta
};

struct delta_t {
  uint8_t header_indicator = 0;
  int secondary_id = -1;
  std::vector<window_t> windows;
  std::vector<uint8_t> target;
};

// Decodes the whole delta against source; false with a reason on any deviation.
bool decode(const std::vector<uint8_t>& delta, const std::vector<uint8_t>& source, form_t form, delta_t* out,
            std::string* error);

uint32_t adler32(const uint8_t* data, size_t length);

// A code table entry: instruction types (0 NOOP, 1 ADD, 2 RUN, 3 COPY), sizes and modes.
struct entry_t {
  int inst1, size1, mode1, inst2, size2, mode2;
};
std::array<entry_t, 256> default_table();

// Decompresses one id-2 section (integer length, then an unterminated .xz stream); the
// compressed bytes must be used up exactly when the announced length has been produced.
bool decompress_lzma_section(const std::vector<uint8_t>& stored, std::vector<uint8_t>* plain, std::string* error);

} // namespace reference
