#pragma once
#include "ovcore/crypto/content_hash.h"
#include "scale_records.h"

#include <vector>

namespace orvo::bench {

// One find_patch_chain call and the diff ids it must append; none when there is no route.
struct chain_query_t {
  content_hash_t from;
  content_hash_t to;
  bool found;
  std::vector<content_hash_t> diff_ids;
};

// count queries, a third of each kind: one file patch; several steps along a long or a short
// chain; no route (to an unknown version, or backwards along a long chain).
std::vector<chain_query_t> make_chain_queries(const scale_records_t& records, u32 count);

} // namespace orvo::bench
