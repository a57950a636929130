#pragma once
#include "ovcore/types.h"

// Byte layout of the signed patch container: header, chunks and diff blocks.
namespace orvo::publisher::format {

// Four ASCII bytes read as a little-endian u32, as tags are stored.
constexpr u32 make_tag(const char (&text)[5]) {
  return u32(u8(text[0])) | u32(u8(text[1])) << 8 | u32(u8(text[2])) << 16 | u32(u8(text[3])) << 24;
}

constexpr u32 magic = make_tag("KTLP");
constexpr u32 container_version = 2;

constexpr u32 header_size = 668;
constexpr u32 magic_offset = 0;
constexpr u32 version_offset = 4;
constexpr u32 fingerprint_offset = 8;
constexpr u32 fingerprint_size = 20;
constexpr u32 reserved_offset = 28;
constexpr u32 reserved_size = 128;
constexpr u32 signature_offset = 156;
constexpr u32 signature_size = 512;

constexpr u32 chunk_header_size = 16;
constexpr u32 chunk_version = 2;
constexpr u32 tag_layout = make_tag("LAYO");
constexpr u32 tag_file_patch = make_tag("FPAT");
constexpr u32 tag_keys = make_tag("KEYS");
constexpr u32 tag_diff = make_tag("DIFF");
constexpr u32 tag_meta = make_tag("META");

constexpr u32 layout_fixed_size = 112;
constexpr u32 layout_name_size = 64;
constexpr u32 layout_match_offset = 64;
constexpr u32 layout_version_offset = 96;
constexpr u32 layout_path_size = 164;
constexpr u32 layout_path_field_size = 128;
constexpr u32 layout_path_hash_offset = 132;
constexpr u32 root_application = make_tag("APPL");

constexpr u32 file_patch_fixed_size = 64;
constexpr u32 diff_fixed_size = 40;
constexpr u32 diff_flags_offset = 32;
constexpr u8 diff_flag_keyed = 0x01;
constexpr u32 meta_fixed_size = 40;

constexpr u32 hash_size = 32;
constexpr u32 key_size = 32;

// Keyed diff data: key id, reserved bytes (zero), then the block.
constexpr u32 keyed_prefix_size = 48;
constexpr u32 keyed_min_data_size = 64;

constexpr u32 block_header_size = 16;
constexpr u32 method_copy = make_tag("COPY");
constexpr u32 method_lzma = make_tag("LZM2");
constexpr u32 method_delta = make_tag("XDLT");

constexpr u32 max_layout_entries = 10000;
constexpr u32 max_file_patch_diffs = 10000;
constexpr u32 max_keys = 100000;

constexpr u32 fixed_size_of(u32 tag, u32 version) {
  if (version != chunk_version) return 0;
  switch (tag) {
  case tag_layout: return layout_fixed_size;
  case tag_file_patch: return file_patch_fixed_size;
  case tag_diff: return diff_fixed_size;
  case tag_meta: return meta_fixed_size;
  default: return 0;
  }
}

} // namespace orvo::publisher::format
