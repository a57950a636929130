#pragma once
#include "ovcore/types.h"

namespace orvo::vcdiff {

// COPY address as written: the mode and the value stored in the address section.
struct encoded_address_t {
  u8 mode;
  u64 value;
  bool single_byte; // same-cache modes store one byte instead of an integer
};

// The near and same address caches of the default code table (s_near 4, s_same 3).
class address_cache_t {
public:
  static constexpr u32 near_size = 4;
  static constexpr u32 same_size = 3;

  // Distances back from the current position that repeat (see encode) are remembered this far.
  static constexpr u32 recent_here_size = 4;

  address_cache_t() { reset(); }
  // With secondary compression a repeated value costs less than a short one: a copy at the
  // same distance back as one of the last copies (code shifted by the same amount) then keeps
  // the HERE mode and its value, whatever is shorter.
  void set_favour_repeats(bool favour) { favour_repeats_ = favour; }
  // Every target window starts with empty caches.
  void reset();
  // Picks the mode with the shortest encoding of address at position here and updates the caches.
  encoded_address_t encode(u64 address, u64 here);

private:
  void update(u64 address);
  bool is_recent_here(u64 distance);

  u64 near_[near_size];
  u32 next_slot_ = 0;
  u64 same_[same_size * 256];
  bool favour_repeats_ = false;
  u64 recent_here_[recent_here_size]; // latest first
};

} // namespace orvo::vcdiff
