#pragma once
#include "ovcore/types.h"

namespace orvo::vcdiff {

// Polynomial hash over the last `width` bytes, updated one byte at a time (arithmetic mod 2^32).
class rolling_hash_t {
public:
  static constexpr u32 width = 32;
  static constexpr u32 base = 0x01000193u;

  rolling_hash_t() {
    u32 power = 1;
    for (u32 i = 1; i < width; ++i) power *= base;
    outgoing_factor_ = power;
  }
  // Hash of exactly width bytes.
  u32 start(const u8* bytes) const {
    u32 hash = 0;
    for (u32 i = 0; i < width; ++i) hash = hash * base + bytes[i];
    return hash;
  }
  // Slides the hash one byte on: drops outgoing, takes incoming.
  u32 roll(u32 hash, u8 outgoing, u8 incoming) const { return (hash - outgoing * outgoing_factor_) * base + incoming; }

  // Anchors are the windows whose scrambled hash has its top bits clear; both sides of a
  // comparison pick the same anchors in equal content.
  static bool is_anchor(u32 hash, u32 anchor_bits) { return anchor_bits == 0 || (scramble(hash) >> (32 - anchor_bits)) == 0; }
  static u32 slot(u32 hash, u32 table_bits) { return (hash * 0x85EBCA6Bu) >> (32 - table_bits); }

private:
  static u32 scramble(u32 hash) {
    hash ^= hash >> 15;
    hash *= 0x2C1B3C6Du;
    hash ^= hash >> 12;
    return hash;
  }

  u32 outgoing_factor_;
};

} // namespace orvo::vcdiff
