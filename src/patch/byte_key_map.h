#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/crypto/content_hash.h"

#include <cstring>

namespace orvo::patch {

// Table with open addressing for plain keys compared by ==: digests, file system identities.
// A look-up costs the same whatever the size.
template <typename K, typename V>
class byte_key_map_t {
  static_assert(sizeof(K) % 8 == 0, "keys are hashed as 64-bit words");

public:
  u32 size() const { return count_; }
  void clear() {
    slots_.clear();
    count_ = 0;
  }

  const V* find(const K& key) const {
    if (slots_.empty()) return nullptr;
    const slot_t& slot = slots_[find_slot(key)];
    return slot.used ? &slot.value : nullptr;
  }
  V* find(const K& key) { return const_cast<V*>(static_cast<const byte_key_map_t&>(*this).find(key)); }

  // False when the key is already present or the table cannot grow.
  bool insert(const K& key, const V& value) {
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
    K key = {};
    V value = {};
    bool used = false;
  };

  // Ids chosen by a publisher need not be uniform: every word of the key counts.
  static u32 mix(const K& key) {
    u64 words[sizeof(K) / 8];
    std::memcpy(words, &key, sizeof words);
    u64 h = 0;
    for (u64 word : words) {
      h = (h ^ word) * 0x9E3779B97F4A7C15ull;
      h ^= h >> 29;
    }
    return static_cast<u32>(h >> 32);
  }

  // The slot holding the key, or the free slot where it belongs; the table is never full.
  u32 find_slot(const K& key) const {
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

template <typename V>
using content_hash_map_t = byte_key_map_t<content_hash_t, V>;

} // namespace orvo::patch
