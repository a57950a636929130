#pragma once
#include "ovcore/types.h"

namespace orvo {

// The abort question of one operation page.
struct abort_state_t {
  bool asking = false;
  bool ended_while_asking = false;
  bool confirmed = false;
};

// The state of page 2, 3 or 5.
abort_state_t& abort_state(u32 page_id);

} // namespace orvo
