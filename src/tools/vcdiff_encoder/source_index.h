#pragma once
#include "ovcore/types.h"
#include "tools/vcdiff_encoder/byte_stream.h"
#include "tools/vcdiff_encoder/rolling_hash.h"

#include <vector>

namespace orvo::vcdiff {

// Content found at target_offset of a window and at source_offset of the source.
struct anchor_match_t {
  u64 source_offset;
  u32 target_offset;
};

// Sparse map from content to source offsets for placing source segments: one streamed pass
// over the whole source records the offsets of content-defined anchors, so its size stays
// bounded however large the source is.
class source_index_t {
public:
  // Logs and returns false when the source cannot be read.
  bool build(byte_reader_t& source);
  // Lists the anchors of data whose content occurs in the source, sorted by source offset and
  // each source offset once (with its first place in data).
  void find(const u8* data, u32 length, std::vector<anchor_match_t>* matches) const;

private:
  static constexpr u32 max_table_bits = 21;
  static constexpr u32 read_chunk = 1u << 20;

  void insert(u32 hash, u64 offset);

  rolling_hash_t hasher_;
  u32 anchor_bits_ = 0;
  u32 table_bits_ = 0;
  std::vector<u64> offsets_; // offset + 1; 0 marks a free slot
  std::vector<u32> hashes_;
};

} // namespace orvo::vcdiff
