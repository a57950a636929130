#pragma once
#include "patch/container_pool.h"
#include "public_key_file.h"

#include <vector>

namespace orvo::bench {

struct container_open_timing_t {
  patch::container_open_result_t result;
  // add_container as a whole.
  double seconds;
  // From the reader's first report of reading the chunks, after the signature, to the end.
  double reading_seconds;
};

// Adds the container, held in memory, to the pool with the key as the only key.
container_open_timing_t time_container_open(patch::container_pool_t& pool, const std::vector<u8>& container,
                                            const public_key_file_t& key);

} // namespace orvo::bench
