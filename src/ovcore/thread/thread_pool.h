#pragma once
#include "ovcore/types.h"

namespace orvo::thread {

// Started by the runtime start-up after processor detection; stopped by its shutdown.
void pool_init();
void pool_shutdown();

} // namespace orvo::thread
