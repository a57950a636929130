#pragma once
#include "ovcore/types.h"

namespace orvo {

// Microseconds since start-up, never decreasing; safe from any thread.
u64 runtime_clock_now();
u64 runtime_clock_since(u64 start);

// Selects the first timer that starts and starts it again as the baseline; false when none starts.
bool runtime_clock_start();
void runtime_clock_stop();
// Names the selected timer in the log.
void runtime_clock_report();

} // namespace orvo
