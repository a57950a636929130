#pragma once
#include "chain_queries.h"
#include "patch/container_pool.h"

namespace orvo::bench {

// Runs each query once; false, with the first unexpected result on stderr, when any result differs
// from what the query expects.
bool check_chain_lookups(const patch::container_pool_t& pool, const std::vector<chain_query_t>& queries);
// The seconds that all the queries take, one after another.
double time_chain_lookups(const patch::container_pool_t& pool, const std::vector<chain_query_t>& queries);

} // namespace orvo::bench
