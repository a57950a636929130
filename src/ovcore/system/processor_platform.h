#pragma once
#include "ovcore/system/processors.h"

namespace orvo::platform {

// Lists the logical processors known to the platform; false when it tells nothing.
bool list_processors(array_t<processor_topology_t>& out);
u32 current_processor_number();
// Runs the calling thread on that processor only, until restore_thread_affinity().
bool pin_current_thread(const cpu_t& cpu);
void restore_thread_affinity();

} // namespace orvo::platform
