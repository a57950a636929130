#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/crypto/content_hash.h"

#include <cstring>

namespace orvo::patch {

// Digest-keyed table with open addressing, in time independent of its size per look-up.
template <typename V>
class content_hash_map_t {
public:
  u32 size() const { return count_; }
  void clear() {
    slots_.clear();
    count_ = 0;
  }

  const V* find(const content_hash_t& key) const {
    if (slots_.empty()) return nullptr;
    const slot_t& slot = slots_[find_slot(key)];
    return slot.used ? &slot.value : nullptr;
  }
  V* find(const content_hash_t& key) { return const_cast<V*>(static_cast<const content_hash_map_t&>(*this).find(key)); }

  // False when the key is already present or the table cannot grow.
  bool insert(const content_hash_t& key, const V& value) {
    // At most half full, so probe runs stay short.
    if ((count_ + 1) * 2 > slots_.size() && !grow()) return false;
    slot_t& slot = slots_[find_slot(key)];
    if (slot.used) return false;
    slot.key = key;
    slot.value = value;
    slot.used = true;
    ++count_;
    return true;
  }

private:
  struct slot_t {
    content_hash_t key = {};
    V value = {};
    bool used = false;
  };

  // Digests are uniform, but ids chosen by a publisher need not be: mix all of the key.
  static u32 mix(const content_hash_t& key) {
    u64 words[4];
    std::memcpy(words, key.bytes, sizeof words);
    u64 h = words[0] ^ (words[1] * 0x9E3779B97F4A7C15ull) ^ (words[2] * 0xC2B2AE3D27D4EB4Full) ^
            (words[3] * 0x165667B19E3779F9ull);
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return static_cast<u32>(h >> 32);
  }

  // The slot holding the key, or the free slot where it belongs; the table is never full.
  u32 find_slot(const content_hash_t& key) const {
    const u32 mask = slots_.size() - 1;
    u32 index = mix(key) & mask;
    while (slots_[index].used && !(slots_[index].key == key)) index = (index + 1) & mask;
    return index;
  }

  bool grow() {
    const u32 size = slots_.empty() ? 16 : slots_.size() * 2;
    if (size < slots_.size()) return false;
    array_dyn_t<slot_t> old = static_cast<array_dyn_t<slot_t>&&>(slots_);
    if (!slots_.resize(size)) {
      slots_ = static_cast<array_dyn_t<slot_t>&&>(old);
      return false;
    }
    for (const slot_t& slot : old)
      if (slot.used) slots_[find_slot(slot.key)] = slot;
    return true;
  }

  array_dyn_t<slot_t> slots_;
  u32 count_ = 0;
};

} // namespace orvo::patch
