#pragma once
#include "tools/publisher/content_hash.h"

namespace orvo::publisher {

// Key id of a content key: HMAC-SHA-256 of the key under the fixed derivation key, then
// HMAC-SHA-256 of the label "diffcontentkey" under that result.
bool derive_key_id(content_hash_t& out, const aes_key_t& key);

} // namespace orvo::publisher
