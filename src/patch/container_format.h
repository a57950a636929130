#pragma once
#include "ovcore/types.h"

namespace orvo::patch {

// Container header: magic, version, key fingerprint, reserved bytes, signature.
constexpr u32 container_header_size = 668;
constexpr u32 container_version = 2;
constexpr u32 header_version_offset = 4;
constexpr u32 header_fingerprint_offset = 8;
constexpr u32 header_reserved_offset = 28;
constexpr u32 header_reserved_size = 128;
constexpr u32 header_signature_offset = 156;
constexpr u32 header_signature_size = 512;
inline constexpr char container_magic[4] = {'K', 'T', 'L', 'P'};
constexpr u32 header_magic_offset = 0;

// Chunk header: u64 size of the whole chunk, tag, u32 version.
constexpr u32 chunk_header_size = 16;
constexpr u32 chunk_version = 2;
constexpr u32 chunk_tag_offset = 8;
constexpr u32 chunk_version_offset = 12;
inline constexpr char tag_layo[4] = {'L', 'A', 'Y', 'O'};
inline constexpr char tag_fpat[4] = {'F', 'P', 'A', 'T'};
inline constexpr char tag_keys[4] = {'K', 'E', 'Y', 'S'};
inline constexpr char tag_diff[4] = {'D', 'I', 'F', 'F'};
inline constexpr char tag_meta[4] = {'M', 'E', 'T', 'A'};

constexpr u32 layo_fixed_size = 112;
constexpr u32 fpat_fixed_size = 64;
constexpr u32 diff_fixed_size = 40;
constexpr u32 meta_fixed_size = 40;

// LAYO fixed part: NUL-terminated name, match hash, four u32 version parts.
constexpr u32 layo_name_size = 64;
// Root of every layout entry: the application directory.
inline constexpr char layout_root_application[4] = {'A', 'P', 'P', 'L'};

// DIFF fixed part: diff id, flags, reserved.
constexpr u32 diff_flags_offset = 32;

constexpr u32 layo_entry_limit = 10000;
constexpr u32 fpat_diff_id_limit = 10000;
constexpr u32 keys_key_limit = 100000;

// DIFF data starts with a block header; keyed data with the key id and then encrypted content.
constexpr u32 block_header_size = 16;
constexpr u32 diff_flag_keyed = 1;
constexpr u32 keyed_diff_min_size = 64;
// Key id and reserved bytes in front of a keyed diff's content.
constexpr u32 keyed_diff_prefix_size = 48;

// Block methods, as the block header stores them.
inline constexpr char method_copy[4] = {'C', 'O', 'P', 'Y'};
inline constexpr char method_lzma[4] = {'L', 'Z', 'M', '2'};
inline constexpr char method_delta[4] = {'X', 'D', 'L', 'T'};

// Progress stages of opening.
constexpr u64 stage_signature_verification = 0x0000000F0F7CCAE3ull;
constexpr u64 stage_reading_chunks = 0x0000000001F62794ull;

inline u32 read_u32_le(const u8* p) {
  return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24;
}
inline u64 read_u64_le(const u8* p) { return u64(read_u32_le(p)) | u64(read_u32_le(p + 4)) << 32; }

} // namespace orvo::patch
