#pragma once
#include "ovcore/types.h"

namespace orvo::patch {

constexpr u8 vcdiff_magic[3] = {0xD6, 0xC3, 0xC4};
constexpr u8 vcdiff_version = 0;

// Header indicator bits.
constexpr u8 vcd_decompress = 0x01;
constexpr u8 vcd_codetable = 0x02;
constexpr u8 vcd_appheader = 0x04;

// Secondary compressor ids.
constexpr u8 vcd_secondary_static_huffman = 1;
constexpr u8 vcd_secondary_lzma = 2;
constexpr u8 vcd_secondary_fgk_huffman = 16;

// Window indicator bits.
constexpr u8 vcd_source = 0x01;
constexpr u8 vcd_target = 0x02;
constexpr u8 vcd_adler32 = 0x04;

// Delta indicator bits.
constexpr u8 vcd_datacomp = 0x01;
constexpr u8 vcd_instcomp = 0x02;
constexpr u8 vcd_addrcomp = 0x04;

constexpr u32 vcdiff_max_target_window = 16u * 1024 * 1024;
// Decoded sections of one window together; twice the largest target window.
constexpr u32 vcdiff_max_sections = 2 * vcdiff_max_target_window;
// Encoded window: its sections plus the integers and checksum that frame them.
constexpr u32 vcdiff_max_window_encoding = vcdiff_max_sections + 64;
constexpr u32 vcdiff_max_code_table_data = 64 * 1024;
// An integer never needs more base-128 digits than this.
constexpr u32 vcdiff_max_integer_bytes = 10;

// Why the decoder rejected a delta; the numbers are logged.
enum vcdiff_error_t : i32 {
  vcdiff_ok = 0,
  vcdiff_bad_magic = 1,
  vcdiff_bad_version = 2,
  vcdiff_bad_header_indicator = 3,
  vcdiff_unknown_secondary = 4,
  vcdiff_bad_code_table = 5,
  vcdiff_bad_window_indicator = 6,
  vcdiff_bad_copy_window = 7,
  vcdiff_window_too_large = 8,
  vcdiff_bad_delta_indicator = 9,
  vcdiff_encoding_length_mismatch = 10,
  vcdiff_sections_too_large = 11,
  vcdiff_secondary_failed = 12,
  vcdiff_secondary_not_supported = 13,
  vcdiff_instructions_short = 14,
  vcdiff_data_short = 15,
  vcdiff_addresses_short = 16,
  vcdiff_sections_left_over = 17,
  vcdiff_bad_instruction_size = 18,
  vcdiff_bad_address = 19,
  vcdiff_target_copy_not_implemented = 20,
  vcdiff_source_past_end = 21,
  vcdiff_no_source = 22,
  vcdiff_bad_source_block = 23,
  vcdiff_wrong_target_length = 24,
  vcdiff_checksum_mismatch = 25,
  vcdiff_bad_integer = 26,
  vcdiff_out_of_memory = 27,
  vcdiff_misuse = 28,
};

} // namespace orvo::patch
