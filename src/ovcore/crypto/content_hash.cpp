#include "ovcore/crypto/content_hash.h"

namespace orvo {

bool content_hash_t::is_zero() const { return *this == zero_content_hash; }

string_fixed_t<65> content_hash_t::text() const {
  string_fixed_t<65> out;
  to_hex(out, bytes);
  return out;
}

} // namespace orvo
