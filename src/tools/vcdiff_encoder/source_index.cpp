#include "tools/vcdiff_encoder/source_index.h"

#include "ovcore/messages/messages.h"

#include <algorithm>

namespace orvo::vcdiff {

namespace {

u32 bits_for(u64 count) {
  u32 bits = 0;
  while ((u64{1} << bits) < count) ++bits;
  return bits;
}

} // namespace

bool source_index_t::build(byte_reader_t& source) {
  const u64 size = source.size();
  // Anchors every 32 bytes on average at least, sparser for large sources.
  anchor_bits_ = std::max<u32>(5, bits_for(size >> (max_table_bits - 1)));
  table_bits_ = std::clamp<u32>(bits_for(size >> anchor_bits_) + 1, 10, max_table_bits);
  offsets_.assign(size_t{1} << table_bits_, 0);
  hashes_.assign(size_t{1} << table_bits_, 0);
  if (size < rolling_hash_t::width) return true;

  // The bytes before each chunk that the first windows of the chunk still need.
  constexpr u32 overlap = rolling_hash_t::width;
  std::vector<u8> buffer(overlap + read_chunk);
  u64 read_offset = 0;
  u32 hash = 0;
  while (read_offset < size) {
    const u32 chunk = static_cast<u32>(std::min<u64>(read_chunk, size - read_offset));
    if (!source.read(read_offset, buffer.data() + overlap, chunk)) {
      log_error("[ERR] Unable to read the source at %I64u", read_offset);
      return false;
    }
    // buffer[overlap + i] holds the source byte at read_offset + i.
    for (u32 i = 0; i < chunk; ++i) {
      const u64 window_end = read_offset + i + 1;
      if (window_end < rolling_hash_t::width) continue;
      const u8* window = buffer.data() + overlap + i + 1 - rolling_hash_t::width;
      hash = window_end == rolling_hash_t::width ? hasher_.start(window)
                                                 : hasher_.roll(hash, window[-1], window[rolling_hash_t::width - 1]);
      if (rolling_hash_t::is_anchor(hash, anchor_bits_)) insert(hash, window_end - rolling_hash_t::width);
    }
    std::copy(buffer.begin() + chunk, buffer.begin() + chunk + overlap, buffer.begin());
    read_offset += chunk;
  }
  return true;
}

void source_index_t::insert(u32 hash, u64 offset) {
  const u32 slot = rolling_hash_t::slot(hash, table_bits_);
  offsets_[slot] = offset + 1;
  hashes_[slot] = hash;
}

void source_index_t::find(const u8* data, u32 length, std::vector<anchor_match_t>* matches) const {
  matches->clear();
  if (offsets_.empty() || length < rolling_hash_t::width) return;
  u32 hash = hasher_.start(data);
  for (u32 start = 0;; ++start) {
    if (rolling_hash_t::is_anchor(hash, anchor_bits_)) {
      const u32 slot = rolling_hash_t::slot(hash, table_bits_);
      if (offsets_[slot] != 0 && hashes_[slot] == hash) matches->push_back(anchor_match_t{offsets_[slot] - 1, start});
    }
    if (start + rolling_hash_t::width >= length) break;
    hash = hasher_.roll(hash, data[start], data[start + rolling_hash_t::width]);
  }
  std::stable_sort(matches->begin(), matches->end(),
                   [](const anchor_match_t& a, const anchor_match_t& b) { return a.source_offset < b.source_offset; });
  matches->erase(std::unique(matches->begin(), matches->end(),
                             [](const anchor_match_t& a, const anchor_match_t& b) {
                               return a.source_offset == b.source_offset;
                             }),
                 matches->end());
}

} // namespace orvo::vcdiff
