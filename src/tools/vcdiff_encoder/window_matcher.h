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
  u32 from_source;
  u32 from_target;
};
// Without secondary compression every copy of a few bytes saves space.
constexpr copy_lengths_t plain_copy_lengths{6, 6};
// With it, a short copy costs more than the compressed bytes it replaces and splits the data the
// compressor sees; repeats inside the window are found by the compressor itself.
constexpr copy_lengths_t compressed_copy_lengths{24, 256};

// Greedy matcher of one target window against its source segment and its own earlier bytes.
class window_matcher_t {
public:
  // Indexes the source segment; data must stay valid while windows are matched against it.
  void set_source(const u8* data, u32 length);
  void set_copy_lengths(const copy_lengths_t& lengths) { copy_lengths_ = lengths; }
  void match(const u8* target, u32 length, std::vector<match_instruction_t>* instructions);

  // Also the shortest run.
  static constexpr u32 min_copy_length = 6;

private:
  struct candidate_t {
    bool from_source = false;
    u32 origin = 0; // first copied byte, after extending backwards
    u32 start = 0;  // first target byte covered
    u32 length = 0;
  };

  void consider(const u8* origin_data, u32 origin_length, u32 origin, u32 position, u32 unmatched_start,
                bool from_source, candidate_t* best) const;
  void prepare_target_table(u32 length);

  copy_lengths_t copy_lengths_ = plain_copy_lengths;
  const u8* source_ = nullptr;
  u32 source_length_ = 0;
  u32 source_table_bits_ = 0;
  std::vector<u32> source_table_; // offset + 1; 0 marks a free slot
  const u8* target_ = nullptr;
  u32 target_length_ = 0;
  u32 target_table_bits_ = 0;
  std::vector<u32> target_table_;
};

} // namespace orvo::vcdiff
