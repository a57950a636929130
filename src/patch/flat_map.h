#pragma once
#include "ovcore/collections/arrays/arrays.h"

namespace orvo::patch {

// Keys and values in parallel arrays, in insertion order, searched linearly.
template <typename K, typename V>
class flat_map_t {
public:
  u32 size() const { return keys_.size(); }
  const K& key_at(u32 index) const { return keys_[index]; }
  const V& value_at(u32 index) const { return values_[index]; }

  const V* find(const K& key) const {
    for (u32 i = 0; i < keys_.size(); ++i)
      if (keys_[i] == key) return values_.element_at(i);
    return nullptr;
  }
  V* find(const K& key) { return const_cast<V*>(static_cast<const flat_map_t&>(*this).find(key)); }

  // False when the key is already present or the arrays cannot grow.
  bool insert(const K& key, const V& value) {
    if (find(key)) return false;
    if (!keys_.push(key)) return false;
    if (values_.push(value)) return true;
    keys_.remove(keys_.size() - 1);
    return false;
  }

private:
  array_dyn_t<K> keys_;
  array_dyn_t<V> values_;
};

} // namespace orvo::patch
