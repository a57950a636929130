#include "chain_lookups.h"

#include <chrono>
#include <cstdio>

namespace orvo::bench {

namespace {

bool same_ids(const array_t<content_hash_t>& found, const std::vector<content_hash_t>& expected) {
  if (found.size() != expected.size()) return false;
  for (u32 i = 0; i < found.size(); ++i)
    if (!(found[i] == expected[i])) return false;
  return true;
}

} // namespace

bool check_chain_lookups(const patch::container_pool_t& pool, const std::vector<chain_query_t>& queries) {
  array_dyn_t<content_hash_t> chain;
  for (u64 i = 0; i < queries.size(); ++i) {
    const chain_query_t& query = queries[i];
    chain.clear();
    const bool found = pool.find_patch_chain(chain, query.from, query.to);
    if (found != query.found || !same_ids(chain, query.diff_ids)) {
      std::fprintf(stderr, "look-up %llu from %s to %s: found=%d with %u diffs, expected found=%d with %u\n",
                   static_cast<unsigned long long>(i), query.from.text().c_str(), query.to.text().c_str(), found,
                   chain.size(), query.found, static_cast<u32>(query.diff_ids.size()));
      return false;
    }
  }
  return true;
}

double time_chain_lookups(const patch::container_pool_t& pool, const std::vector<chain_query_t>& queries) {
  array_dyn_t<content_hash_t> chain;
  const auto start = std::chrono::steady_clock::now();
  for (const chain_query_t& query : queries) {
    chain.clear();
    pool.find_patch_chain(chain, query.from, query.to);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace orvo::bench
