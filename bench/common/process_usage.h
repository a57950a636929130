#pragma once
#include "ovcore/types.h"

namespace orvo::bench {

// User and system time of this process, all threads.
double process_cpu_seconds();
// Peak resident memory of this process so far; 0 when unknown.
u64 peak_resident_bytes();

} // namespace orvo::bench
