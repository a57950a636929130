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
  source_table_.clear();
  if (length < hashed_bytes) return;
  const u32 positions = length - hashed_bytes + 1;
  source_table_bits_ = std::clamp<u32>(bits_for(positions) + 1, 10, max_source_table_bits);
  // Large segments are indexed at every step-th offset; matches still grow in both directions.
  const u32 step = std::max<u32>(1, positions >> (max_source_table_bits - 1));
  source_table_.assign(size_t{1} << source_table_bits_, 0);
  for (u32 offset = 0; offset < positions; offset += step)
    source_table_[hash_at(data + offset, source_table_bits_)] = offset + 1;
}

void window_matcher_t::prepare_target_table(u32 length) {
  target_table_bits_ = std::clamp<u32>(bits_for(length) + 1, 10, max_target_table_bits);
  target_table_.assign(size_t{1} << target_table_bits_, 0);
}

// Measures the match of target[position...] against origin_data[origin...], extends it back
// over unmatched target bytes, and keeps it when it is the longest so far.
void window_matcher_t::consider(const u8* origin_data, u32 origin_length, u32 origin, u32 position,
                                u32 unmatched_start, bool from_source, candidate_t* best) const {
  u32 limit = target_length_ - position;
  if (from_source) limit = std::min(limit, origin_length - origin);
  const u32 forward = forward_match(origin_data + origin, target_ + position, limit);
  if (forward < min_copy_length) return;
  u32 backward = 0;
  const u32 back_limit = std::min(position - unmatched_start, origin);
  while (backward < back_limit && origin_data[origin - backward - 1] == target_[position - backward - 1]) ++backward;
  if (forward + backward < (from_source ? copy_lengths_.from_source : copy_lengths_.from_target)) return;
  if (forward + backward > best->length)
    *best = candidate_t{from_source, origin - backward, position - backward, forward + backward};
}

void window_matcher_t::match(const u8* target, u32 length, std::vector<match_instruction_t>* instructions) {
  instructions->clear();
  target_ = target;
  target_length_ = length;
  prepare_target_table(length);
  const bool has_source_table = !source_table_.empty();

  u32 position = 0;
  u32 unmatched_start = 0;
  bool has_last_source = false;
  i64 last_source_shift = 0; // source offset minus target offset of the last source copy
  auto emit_unmatched = [&](u32 end) {
    if (end > unmatched_start)
      instructions->push_back(match_instruction_t{instruction_add, false, unmatched_start, end - unmatched_start, 0});
  };

  while (length - position >= min_copy_length) {
    candidate_t best;
    if (has_last_source) {
      const i64 origin = static_cast<i64>(position) + last_source_shift;
      if (origin >= 0 && origin < static_cast<i64>(source_length_))
        consider(source_, source_length_, static_cast<u32>(origin), position, unmatched_start, true, &best);
    }
    if (length - position >= hashed_bytes) {
      if (has_source_table) {
        const u32 entry = source_table_[hash_at(target + position, source_table_bits_)];
        if (entry != 0) consider(source_, source_length_, entry - 1, position, unmatched_start, true, &best);
      }
      u32& slot = target_table_[hash_at(target + position, target_table_bits_)];
      if (slot != 0) consider(target, position, slot - 1, position, unmatched_start, false, &best);
      slot = position + 1;
    }
    const u32 run = run_length(target + position, length - position);
    if (run >= min_copy_length && run >= best.length) {
      emit_unmatched(position);
      instructions->push_back(match_instruction_t{instruction_run, false, position, run, 0});
      position += run;
      unmatched_start = position;
      continue;
    }
    if (best.length < min_copy_length) {
      ++position;
      continue;
    }
    emit_unmatched(best.start);
    instructions->push_back(match_instruction_t{instruction_copy, best.from_source, best.start, best.length, best.origin});
    if (best.from_source) {
      has_last_source = true;
      last_source_shift = static_cast<i64>(best.origin) - static_cast<i64>(best.start);
    }
    position = best.start + best.length;
    unmatched_start = position;
  }
  emit_unmatched(length);
}

} // namespace orvo::vcdiff
