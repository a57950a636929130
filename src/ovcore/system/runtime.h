#pragma once
#include "ovcore/types.h"

namespace orvo {

// Brings the runtime up before the application's main function and down after it, on the main thread.
void runtime_startup();
void runtime_shutdown();

u64 main_thread_id();

} // namespace orvo
