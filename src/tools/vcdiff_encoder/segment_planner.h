#pragma once
#include "ovcore/types.h"
#include "tools/vcdiff_encoder/source_index.h"

#include <vector>

namespace orvo::vcdiff {

// The updater reads sources in 8 MiB blocks and keeps at most 32 of them.
constexpr u64 decoder_source_block_size = u64{8} << 20;
constexpr u64 decoder_visible_source = u64{256} << 20;

struct source_segment_t {
  u64 offset = 0;
  u64 length = 0;
};

struct segment_limits_t {
  u64 base_length;    // the usual segment length
  u64 max_length;     // what a segment may grow to where it covers noticeably more
  u32 anchor_width;   // bytes behind every anchor offset
};

// Places one target window's source segment where most of its anchor matches (sorted by
// source offset) lie. Without matches the segment sits at the window's own offset.
source_segment_t plan_source_segment(const std::vector<anchor_match_t>& matches, u64 source_size, u64 window_offset,
                                     const segment_limits_t& limits);

// Number of decoder source blocks a segment touches.
u64 segment_block_span(const source_segment_t& segment);

} // namespace orvo::vcdiff
