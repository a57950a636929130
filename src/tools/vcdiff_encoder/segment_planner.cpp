#include "tools/vcdiff_encoder/segment_planner.h"

#include <algorithm>

namespace orvo::vcdiff {

namespace {

struct densest_range_t {
  size_t first = 0;
  size_t count = 0; // anchors in [offsets[first], offsets[first] + span]
};

densest_range_t densest_range(const std::vector<anchor_match_t>& matches, u64 span) {
  densest_range_t best;
  size_t last = 0;
  for (size_t first = 0; first < matches.size(); ++first) {
    if (last < first) last = first;
    while (last + 1 < matches.size() && matches[last + 1].source_offset - matches[first].source_offset <= span) ++last;
    if (last - first + 1 > best.count) best = densest_range_t{first, last - first + 1};
  }
  return best;
}

// Keeps a segment inside the source and within the blocks the decoder keeps visible.
source_segment_t fit_segment(u64 offset, u64 length, u64 source_size) {
  length = std::min(length, source_size);
  offset = std::min(offset, source_size - length);
  source_segment_t segment{offset, length};
  const u64 visible_blocks = decoder_visible_source / decoder_source_block_size;
  if (segment_block_span(segment) > visible_blocks)
    segment.length = decoder_visible_source - offset % decoder_source_block_size;
  return segment;
}

} // namespace

u64 segment_block_span(const source_segment_t& segment) {
  if (segment.length == 0) return 0;
  return (segment.offset + segment.length - 1) / decoder_source_block_size - segment.offset / decoder_source_block_size +
         1;
}

source_segment_t plan_source_segment(const std::vector<anchor_match_t>& matches, u64 source_size, u64 window_offset,
                                     const segment_limits_t& limits) {
  if (source_size <= limits.base_length) return source_segment_t{0, source_size};
  if (matches.empty()) return fit_segment(window_offset, limits.base_length, source_size);

  // Candidate lengths: the base length, doubled up to the largest allowed one.
  std::vector<u64> lengths;
  const u64 max_length = std::min(limits.max_length, source_size);
  for (u64 length = limits.base_length; length < max_length; length *= 2) lengths.push_back(length);
  lengths.push_back(max_length);

  std::vector<densest_range_t> ranges;
  for (u64 length : lengths)
    ranges.push_back(densest_range(matches, length > limits.anchor_width ? length - limits.anchor_width : 0));
  // A longer segment is worth it only where it covers more than 1/64 more of the matches.
  const size_t most = ranges.back().count;
  size_t choice = 0;
  while (choice + 1 < ranges.size() && ranges[choice].count + most / 64 < most) ++choice;

  const u64 length = lengths[choice];
  const anchor_match_t& first = matches[ranges[choice].first];
  const u64 low = first.source_offset;
  const u64 high = matches[ranges[choice].first + ranges[choice].count - 1].source_offset + limits.anchor_width;
  // Where the window's data lies at one shift in the source, the segment starts where the
  // window does; otherwise the covered matches are centred, as matches grow both ways.
  if (first.source_offset >= first.target_offset) {
    const u64 aligned = first.source_offset - first.target_offset;
    if (aligned + length >= high) return fit_segment(aligned, length, source_size);
  }
  const u64 spare = length > high - low ? length - (high - low) : 0;
  return fit_segment(low > spare / 2 ? low - spare / 2 : 0, length, source_size);
}

} // namespace orvo::vcdiff
