#pragma once
#include "ovcore/types.h"

#include <functional>

namespace orvo::publisher {

// Runs work(i) for every i below count on `threads` threads, and hands each finished i to
// consume(i) on the calling thread in increasing order, so results are used in a fixed order
// while later ones are still being made. Stops at the first false of either; false then.
bool run_ordered_jobs(u64 count, u32 threads, const std::function<bool(u64)>& work,
                      const std::function<bool(u64)>& consume);

// The processors to use when none are asked for: all of them, at least one.
u32 default_job_count();

} // namespace orvo::publisher
