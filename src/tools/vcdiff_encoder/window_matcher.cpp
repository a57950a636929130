#include "tools/vcdiff_encoder/window_matcher.h"

#include "tools/vcdiff_encoder/code_table.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace orvo::vcdiff {

namespace {

constexpr u32 hashed_bytes = 8;
constexpr u32 max_source_table_bits = 24;
constexpr u32 max_target_table_bits = 23;
// Source entries compared per target position, newest first.
constexpr u32 max_chain_depth = 16;

u64 load_u64(const u8* p) {
  u64 value;
  std::memcpy(&value, p, sizeof(value));
  return value;
}

u32 hash_at(const u8* p, u32 table_bits) {
  return static_cast<u32>((load_u64(p) * 0x9E3779B97F4A7C15ull) >> (64 - table_bits));
}

u32 bits_for(u64 count) {
  u32 bits = 0;
  while ((u64{1} << bits) < count) ++bits;
  return bits;
}

// Length of the common prefix of a and b, at most limit bytes.
u32 forward_match(const u8* a, const u8* b, u32 limit) {
  u32 length = 0;
  while (length + 8 <= limit) {
    const u64 difference = load_u64(a + length) ^ load_u64(b + length);
    if (difference) return length + static_cast<u32>(std::countr_zero(difference) / 8);
    length += 8;
  }
  while (length < limit && a[length] == b[length]) ++length;
  return length;
}

u32 run_length(const u8* p, u32 limit) {
  u32 length = 1;
  while (length < limit && p[length] == p[0]) ++length;
  return length;
}

} // namespace

void window_matcher_t::set_source(const u8* data, u32 length) {
  source_ = data;
  source_length_ = length;
  source_heads_.clear();
  source_chain_.clear();
  if (length < hashed_bytes) return;
  const u32 positions = length - hashed_bytes + 1;
  // Large segments are indexed at every step-th offset; matches still grow in both directions.
  source_step_ = std::max<u32>(1, positions >> (max_source_table_bits - 1));
  const u32 entries = (positions - 1) / source_step_ + 1;
  source_table_bits_ = std::clamp<u32>(bits_for(entries) + 1, 10, max_source_table_bits);
  source_heads_.assign(size_t{1} << source_table_bits_, 0);
  source_chain_.resize(entries);
  for (u32 entry = 0; entry < entries; ++entry) {
    u32& head = source_heads_[hash_at(data + entry * source_step_, source_table_bits_)];
    source_chain_[entry] = head;
    head = entry + 1;
  }
}

void window_matcher_t::prepare_target_table(u32 length) {
  target_table_bits_ = std::clamp<u32>(bits_for(length) + 1, 10, max_target_table_bits);
  target_table_.assign(size_t{1} << target_table_bits_, 0);
  indexed_target_end_ = 0;
}

u32 window_matcher_t::min_length(const candidate_t& candidate) const {
  if (!candidate.from_source) return copy_lengths_.from_target;
  return candidate.recent ? copy_lengths_.from_source_recent : copy_lengths_.from_source;
}

i64 window_matcher_t::score(const candidate_t& candidate) const {
  return static_cast<i64>(candidate.length) - static_cast<i64>(min_length(candidate));
}

// Measures the match of target[position...] against origin_data[origin...], extends it back
// over unmatched target bytes, and keeps it when it saves more than the best so far.
void window_matcher_t::consider(const u8* origin_data, u32 origin_length, u32 origin, u32 position,
                                u32 unmatched_start, bool from_source, bool recent, candidate_t* best) const {
  u32 limit = target_length_ - position;
  if (from_source) limit = std::min(limit, origin_length - origin);
  const u32 forward = forward_match(origin_data + origin, target_ + position, limit);
  if (forward < shortest_match) return;
  u32 backward = 0;
  const u32 back_limit = std::min(position - unmatched_start, origin);
  while (backward < back_limit && origin_data[origin - backward - 1] == target_[position - backward - 1]) ++backward;
  const candidate_t candidate{from_source, recent, origin - backward, position - backward, forward + backward};
  if (candidate.length >= min_length(candidate) && (best->length == 0 || score(candidate) > score(*best)))
    *best = candidate;
}

// The best copy covering target[position]; indexes the position for later repeats.
window_matcher_t::candidate_t window_matcher_t::best_at(u32 position, u32 unmatched_start) {
  candidate_t best;
  for (u32 i = 0; i < recent_shift_used_; ++i) {
    const i64 origin = static_cast<i64>(position) + recent_shifts_[i];
    if (origin >= 0 && origin < static_cast<i64>(source_length_))
      consider(source_, source_length_, static_cast<u32>(origin), position, unmatched_start, true, true, &best);
  }
  if (target_length_ - position < hashed_bytes) return best;
  if (!source_heads_.empty()) {
    u32 entry = source_heads_[hash_at(target_ + position, source_table_bits_)];
    for (u32 depth = 0; entry != 0 && depth < max_chain_depth; ++depth, entry = source_chain_[entry - 1])
      consider(source_, source_length_, (entry - 1) * source_step_, position, unmatched_start, true, false, &best);
  }
  u32& slot = target_table_[hash_at(target_ + position, target_table_bits_)];
  if (slot != 0 && slot - 1 < position)
    consider(target_, position, slot - 1, position, unmatched_start, false, false, &best);
  if (position >= indexed_target_end_) {
    slot = position + 1;
    indexed_target_end_ = position + 1;
  }
  return best;
}

void window_matcher_t::remember_shift(i64 shift) {
  u32 found = 0;
  while (found < recent_shift_used_ && recent_shifts_[found] != shift) ++found;
  if (found == recent_shift_used_ && recent_shift_used_ < recent_shift_count) ++recent_shift_used_;
  for (u32 i = std::min(found, recent_shift_count - 1); i > 0; --i) recent_shifts_[i] = recent_shifts_[i - 1];
  recent_shifts_[0] = shift;
}

void window_matcher_t::match(const u8* target, u32 length, std::vector<match_instruction_t>* instructions) {
  instructions->clear();
  target_ = target;
  target_length_ = length;
  prepare_target_table(length);
  recent_shift_used_ = 0;

  u32 position = 0;
  u32 unmatched_start = 0;
  auto emit_unmatched = [&](u32 end) {
    if (end > unmatched_start)
      instructions->push_back(match_instruction_t{instruction_add, false, unmatched_start, end - unmatched_start, 0});
  };

  candidate_t best = best_at(position, unmatched_start);
  while (length - position >= min_copy_length) {
    const u32 run = run_length(target + position, length - position);
    if (run >= min_copy_length && run >= best.length) {
      emit_unmatched(position);
      instructions->push_back(match_instruction_t{instruction_run, false, position, run, 0});
      position += run;
      unmatched_start = position;
      best = best_at(position, unmatched_start);
      continue;
    }
    if (best.length != 0 && length - position > min_copy_length) {
      // One position of lookahead: a copy found at the next position that saves more wins.
      const candidate_t next = best_at(position + 1, unmatched_start);
      if (next.length != 0 && score(next) > score(best)) {
        ++position;
        best = next;
        continue;
      }
    }
    if (best.length == 0) {
      ++position;
      best = best_at(position, unmatched_start);
      continue;
    }
    emit_unmatched(best.start);
    instructions->push_back(match_instruction_t{instruction_copy, best.from_source, best.start, best.length, best.origin});
    if (best.from_source) remember_shift(static_cast<i64>(best.origin) - static_cast<i64>(best.start));
    position = best.start + best.length;
    unmatched_start = position;
    best = best_at(position, unmatched_start);
  }
  emit_unmatched(length);
}

} // namespace orvo::vcdiff
