#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/crypto/content_hash.h"

#include <cstring>

namespace orvo::patch {

// Table for plain keys compared by ==: digests, file system identities. Entries are kept dense
// in insertion order; the open-addressing slots only hold entry numbers, so growing the table
// touches little memory. A look-up costs the same whatever the size. Pointers to values stay
// valid until the next insert.
template <typename K, typename V>
class byte_key_map_t {
  static_assert(sizeof(K) % 8 == 0, "keys are hashed as 64-bit words");

public:
  u32 size() const { return entries_.size(); }
  void clear() {
    entries_.clear();
    slots_.clear();
  }

  // Room for count entries in all, so that inserting them allocates nothing more.
  bool reserve(u32 count) { return entries_.reserve(count) && (slots_.size() >= 2 * count || rehash(slots_for(count))); }

  const V* find(const K& key) const {
    if (slots_.empty()) return nullptr;
    const u32 entry = slots_[find_slot(key)];
    return entry ? &entries_[entry - 1].value : nullptr;
  }
  V* find(const K& key) { return const_cast<V*>(static_cast<const byte_key_map_t&>(*this).find(key)); }

  // False when the key is already present or the table cannot grow.
  bool insert(const K& key, const V& value) {
    // At most half full, so probe runs stay short.
    if ((entries_.size() + 1) * 2 > slots_.size() && !rehash(slots_for(entries_.size() + 1))) return false;
    const u32 slot = find_slot(key);
    if (slots_[slot]) return false;
    if (!entries_.push(entry_t{key, value})) return false;
    slots_[slot] = entries_.size();
    return true;
  }

private:
  struct entry_t {
    K key;
    V value;
  };

  static u32 slots_for(u32 count) {
    u32 slots = 16;
    while (slots < 2 * count && slots < 0x80000000u) slots *= 2;
    return slots;
  }

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

  // The slot naming the key's entry, or the free slot where it belongs; never full.
  u32 find_slot(const K& key) const {
    const u32 mask = slots_.size() - 1;
    u32 index = mix(key) & mask;
    while (slots_[index] && !(entries_[slots_[index] - 1].key == key)) index = (index + 1) & mask;
    return index;
  }

  bool rehash(u32 count) {
    if (count <= slots_.size()) return true;
    array_dyn_t<u32> fresh;
    if (!fresh.resize(count)) return false;
    slots_ = static_cast<array_dyn_t<u32>&&>(fresh);
    for (u32 i = 0; i < entries_.size(); ++i) slots_[find_slot(entries_[i].key)] = i + 1;
    return true;
  }

  array_dyn_t<entry_t> entries_;
  // Entry number + 1; 0 marks a free slot.
  array_dyn_t<u32> slots_;
};

template <typename V>
using content_hash_map_t = byte_key_map_t<content_hash_t, V>;

} // namespace orvo::patch
