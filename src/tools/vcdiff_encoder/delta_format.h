#pragma once
#include "ovcore/types.h"
#include "tools/vcdiff_encoder/instruction_encoder.h"

#include <vector>

namespace orvo::vcdiff {

enum : u8 {
  header_secondary_compressor = 0x01,
  window_source = 0x01,
  window_checksum = 0x04,
  delta_data_compressed = 0x01,
  delta_instructions_compressed = 0x02,
  delta_addresses_compressed = 0x04,
};

// Header bytes "VCD" with their high bits set, version 0, the indicator and, for secondary
// compression, the compressor id.
void append_delta_header(std::vector<u8>* out, bool secondary_compression, u8 compressor_id);

struct window_header_t {
  bool has_source = false;
  u64 segment_offset = 0;
  u64 segment_length = 0;
  u32 target_length = 0;
  u8 delta_indicator = 0;
  bool has_checksum = false;
  u32 checksum = 0; // Adler-32 of the window's target bytes
};

// Everything of a window before its sections; the sections as stored (possibly compressed).
// The checksum, when present, follows the three section lengths and counts in the length of
// the delta encoding.
void append_window_header(std::vector<u8>* out, const window_header_t& header, const window_sections_t& stored);

} // namespace orvo::vcdiff
