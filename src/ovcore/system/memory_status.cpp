#include "ovcore/system/memory_status.h"

namespace orvo {

void get_memory_status(u64 out[4]) {
  u64 queried[4] = {};
  const bool known = platform::query_memory_status(queried);
  for (u32 i = 0; i < 4; ++i) out[i] = known ? queried[i] : memory_status_unknown;
}

} // namespace orvo
