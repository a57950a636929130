#include "tools/vcdiff_encoder/address_cache.h"

#include "ovcore/messages/messages.h"
#include "tools/vcdiff_encoder/varint.h"

#include <algorithm>

namespace orvo::vcdiff {

namespace {

enum : u8 { mode_self = 0, mode_here = 1, mode_first_near = 2 };

} // namespace

void address_cache_t::reset() {
  for (u64& slot : near_) slot = 0;
  for (u64& slot : same_) slot = 0;
  for (u64& distance : recent_here_) distance = 0;
  next_slot_ = 0;
}

void address_cache_t::update(u64 address) {
  near_[next_slot_] = address;
  next_slot_ = (next_slot_ + 1) % near_size;
  same_[address % (same_size * 256)] = address;
}

// Moves distance to the front of the recent HERE distances; true when it was among them.
bool address_cache_t::is_recent_here(u64 distance) {
  u32 found = 0;
  while (found < recent_here_size && recent_here_[found] != distance) ++found;
  for (u32 i = std::min(found, recent_here_size - 1); i > 0; --i) recent_here_[i] = recent_here_[i - 1];
  recent_here_[0] = distance;
  return found < recent_here_size;
}

encoded_address_t address_cache_t::encode(u64 address, u64 here) {
  ORVO_CHECK(address < here, "COPY address is not before the current position.");
  if (favour_repeats_ && is_recent_here(here - address)) {
    update(address);
    return encoded_address_t{mode_here, here - address, false};
  }
  encoded_address_t best{mode_self, address, false};
  u32 best_length = varint_length(address);
  auto consider = [&](u8 mode, u64 value) {
    const u32 length = varint_length(value);
    if (length < best_length) {
      best = encoded_address_t{mode, value, false};
      best_length = length;
    }
  };
  consider(mode_here, here - address);
  for (u32 i = 0; i < near_size; ++i)
    if (address >= near_[i]) consider(static_cast<u8>(mode_first_near + i), address - near_[i]);
  const u64 same_slot = address % (same_size * 256);
  if (same_[same_slot] == address && best_length > 1)
    best = encoded_address_t{static_cast<u8>(mode_first_near + near_size + same_slot / 256), same_slot % 256, true};
  update(address);
  return best;
}

} // namespace orvo::vcdiff
