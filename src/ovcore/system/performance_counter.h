#pragma once
#include "ovcore/types.h"

namespace orvo::platform {

// High-resolution monotonic counter; a frequency of 0 means there is none.
u64 performance_counter_frequency();
u64 performance_counter();

} // namespace orvo::platform
