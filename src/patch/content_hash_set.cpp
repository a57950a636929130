#include "patch/content_hash_set.h"

#include <cstring>

namespace orvo::patch {

namespace {

u32 start_of(const content_hash_t& hash, u32 mask) {
  u32 value;
  std::memcpy(&value, hash.bytes, sizeof value);
  return value & mask;
}

} // namespace

void content_hash_set_t::clear() {
  slots_.clear();
  count_ = 0;
}

// The slot holding the digest, or the free slot where it belongs; the table is never full.
u32 content_hash_set_t::find_slot(const content_hash_t& hash) const {
  const u32 mask = slots_.size() - 1;
  u32 index = start_of(hash, mask);
  while (slots_[index].used && !(slots_[index].hash == hash)) index = (index + 1) & mask;
  return index;
}

bool content_hash_set_t::grow() {
  const u32 size = slots_.empty() ? 16 : slots_.size() * 2;
  if (size < slots_.size()) return false;
  array_dyn_t<slot_t> old = static_cast<array_dyn_t<slot_t>&&>(slots_);
  if (!slots_.resize(size)) {
    slots_ = static_cast<array_dyn_t<slot_t>&&>(old);
    return false;
  }
  for (const slot_t& slot : old)
    if (slot.used) slots_[find_slot(slot.hash)] = slot;
  return true;
}

bool content_hash_set_t::insert(const content_hash_t& hash) {
  // At most half full, so probes stay short.
  if ((count_ + 1) * 2 > slots_.size() && !grow()) return false;
  slot_t& slot = slots_[find_slot(hash)];
  if (slot.used) return false;
  slot.hash = hash;
  slot.used = true;
  ++count_;
  return true;
}

bool content_hash_set_t::contains(const content_hash_t& hash) const {
  return !slots_.empty() && slots_[find_slot(hash)].used;
}

} // namespace orvo::patch
