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

// Chunk header: u64 size of the whole chunk, tag, u32 version.
constexpr u32 chunk_header_size = 16;
constexpr u32 chunk_version = 2;

constexpr u32 layo_fixed_size = 112;
constexpr u32 fpat_fixed_size = 64;
constexpr u32 diff_fixed_size = 40;
constexpr u32 meta_fixed_size = 40;

constexpr u32 layo_entry_limit = 10000;
constexpr u32 fpat_diff_id_limit = 10000;
constexpr u32 keys_key_limit = 100000;

// DIFF data starts with a block header; keyed data with the key id and then encrypted content.
constexpr u32 block_header_size = 16;
constexpr u32 diff_flag_keyed = 1;
constexpr u32 keyed_diff_min_size = 64;

// Progress stages of opening.
constexpr u64 stage_signature_verification = 0x0000000F0F7CCAE3ull;
constexpr u64 stage_reading_chunks = 0x0000000001F62794ull;

inline u32 read_u32_le(const u8* p) {
  return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24;
}
inline u64 read_u64_le(const u8* p) { return u64(read_u32_le(p)) | u64(read_u32_le(p + 4)) << 32; }

} // namespace orvo::patch
