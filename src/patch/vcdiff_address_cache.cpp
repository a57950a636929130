#include "patch/vcdiff_address_cache.h"

#include <cstring>
#include <new>

namespace orvo::patch {

namespace {

constexpr u8 mode_self = 0;
constexpr u8 mode_here = 1;
constexpr u8 first_near_mode = 2;

} // namespace

vcdiff_address_cache_t::~vcdiff_address_cache_t() {
  delete[] near_;
  delete[] same_;
}

bool vcdiff_address_cache_t::configure(u8 near_size, u8 same_size) {
  delete[] near_;
  delete[] same_;
  near_size_ = near_size;
  same_slots_ = same_size * 256u;
  near_ = near_size_ ? new (std::nothrow) u64[near_size_] : nullptr;
  same_ = same_slots_ ? new (std::nothrow) u64[same_slots_] : nullptr;
  if ((near_size_ && !near_) || (same_slots_ && !same_)) {
    near_size_ = same_slots_ = 0;
    return false;
  }
  reset();
  return true;
}

void vcdiff_address_cache_t::reset() {
  if (near_size_) std::memset(near_, 0, near_size_ * sizeof(u64));
  if (same_slots_) std::memset(same_, 0, same_slots_ * sizeof(u64));
  next_slot_ = 0;
}

void vcdiff_address_cache_t::update(u64 address) {
  if (near_size_) {
    near_[next_slot_] = address;
    next_slot_ = (next_slot_ + 1) % near_size_;
  }
  if (same_slots_) same_[address % same_slots_] = address;
}

vcdiff_error_t vcdiff_address_cache_t::decode(u8 mode, u64 here, vcdiff_reader_t& addresses, u64& address) {
  const u32 same_mode = first_near_mode + near_size_;
  if (mode < same_mode) {
    u64 value;
    if (!addresses.read_integer(value)) return addresses.empty() ? vcdiff_addresses_short : vcdiff_bad_integer;
    if (mode == mode_self) {
      address = value;
    } else if (mode == mode_here) {
      if (value > here) return vcdiff_bad_address;
      address = here - value;
    } else {
      const u64 base = near_[mode - first_near_mode];
      if (value > ~u64{0} - base) return vcdiff_bad_address;
      address = base + value;
    }
  } else {
    const u32 block = mode - same_mode;
    u8 byte;
    if (block * 256u >= same_slots_) return vcdiff_bad_address;
    if (!addresses.read_byte(byte)) return vcdiff_addresses_short;
    address = same_[block * 256u + byte];
  }
  update(address);
  return vcdiff_ok;
}

} // namespace orvo::patch
