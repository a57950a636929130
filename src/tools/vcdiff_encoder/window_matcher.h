#pragma once
#include "ovcore/types.h"

#include <vector>

namespace orvo::vcdiff {

// One instruction of a target window before encoding. COPY instructions name their origin as
// an offset in the source segment or, for repeats, in the target window itself.
struct match_instruction_t {
  u8 type;          // instruction_add, instruction_run or instruction_copy
  bool from_source; // COPY: origin is the source segment
  u32 target_offset;
  u32 size;
  u32 origin;       // COPY: offset of the copied bytes in their segment or window
};

// Shortest copies worth an instruction, by where they copy from.
struct copy_lengths_t {
  u32 from_source_recent; // source copies at the distance of one of the last source copies
  u32 from_source;
  u32 from_target;
};
// Without secondary compression every copy of a few bytes saves space.
constexpr copy_lengths_t plain_copy_lengths{6, 6, 6};
// With it, a short copy at a new place costs more than the compressed bytes it replaces and
// splits the data the compressor sees; repeats inside the window are found by the compressor
// itself. Copies that keep a recent distance (code shifted between changed addresses) are cheap.
constexpr copy_lengths_t compressed_copy_lengths{4, 12, 256};

// Matcher of one target window against its source segment and its own earlier bytes: hash
// chains over the source, the distances of the last source copies tried at every position, and
// one position of lookahead before a copy is taken.
class window_matcher_t {
public:
  // Indexes the source segment; data must stay valid while windows are matched against it.
  void set_source(const u8* data, u32 length);
  void set_copy_lengths(const copy_lengths_t& lengths) { copy_lengths_ = lengths; }
  void match(const u8* target, u32 length, std::vector<match_instruction_t>* instructions);

  // The shortest run, and the shortest copy of plain deltas.
  static constexpr u32 min_copy_length = 6;
  // Shortest match measured at all.
  static constexpr u32 shortest_match = 4;

private:
  static constexpr u32 recent_shift_count = 3;

  struct candidate_t {
    bool from_source = false;
    bool recent = false; // at a recent source distance
    u32 origin = 0;      // first copied byte, after extending backwards
    u32 start = 0;       // first target byte covered
    u32 length = 0;
  };

  candidate_t best_at(u32 position, u32 unmatched_start);
  u32 min_length(const candidate_t& candidate) const;
  // Bytes a copy covers beyond the shortest worth its kind of instruction.
  i64 score(const candidate_t& candidate) const;
  void consider(const u8* origin_data, u32 origin_length, u32 origin, u32 position, u32 unmatched_start,
                bool from_source, bool recent, candidate_t* best) const;
  void index_target(u32 position);
  void remember_shift(i64 shift);
  void prepare_target_table(u32 length);

  copy_lengths_t copy_lengths_ = plain_copy_lengths;
  const u8* source_ = nullptr;
  u32 source_length_ = 0;
  u32 source_table_bits_ = 0;
  u32 source_step_ = 1;
  std::vector<u32> source_heads_; // indexed offset / step + 1 of the latest entry; 0: none
  std::vector<u32> source_chain_; // per indexed offset: the previous entry of its bucket, same form
  const u8* target_ = nullptr;
  u32 target_length_ = 0;
  u32 target_table_bits_ = 0;
  std::vector<u32> target_table_;
  u32 indexed_target_end_ = 0;
  i64 recent_shifts_[recent_shift_count] = {}; // source offset minus target offset, latest first
  u32 recent_shift_used_ = 0;
};

} // namespace orvo::vcdiff
