#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/crypto/content_hash.h"

namespace orvo::patch {

// Set of digests with open addressing; digests are uniform, so their first bytes are the hash.
class content_hash_set_t {
public:
  void clear();
  // False when the digest was already present or the table cannot grow.
  bool insert(const content_hash_t& hash);
  bool contains(const content_hash_t& hash) const;

private:
  struct slot_t {
    content_hash_t hash;
    bool used;
  };
  u32 find_slot(const content_hash_t& hash) const;
  bool grow();

  array_dyn_t<slot_t> slots_;
  u32 count_ = 0;
};

} // namespace orvo::patch
