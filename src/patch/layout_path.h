#pragma once
#include "ovcore/crypto/content_hash.h"

namespace orvo::patch {

// One file of an installation layout, as stored in a LAYO chunk.
struct layout_path_t {
  // "APPL": relative to the application directory.
  char root[4];
  // Relative path with '/' separators, NUL-terminated within the field.
  char path[128];
  content_hash_t hash;
};
static_assert(sizeof(layout_path_t) == 164);

// Root "APPL" and a NUL-terminated, non-empty relative path whose components are neither empty,
// "." nor "..", with no backslash and no ':'.
bool is_valid_layout_path(const layout_path_t& entry);

} // namespace orvo::patch
