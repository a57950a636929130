#pragma once
#include "ovcore/types.h"

namespace orvo {

enum : u32 {
  memory_total_physical = 0,
  memory_available_physical = 1,
  memory_total_virtual = 2,
  memory_available_virtual = 3,
};

inline constexpr u64 memory_status_unknown = 0x2B800000;

// Byte counts in the order above; each 729808896 when the platform cannot tell.
void get_memory_status(u64 out[4]);

namespace platform {
bool query_memory_status(u64 out[4]);
} // namespace platform

} // namespace orvo
