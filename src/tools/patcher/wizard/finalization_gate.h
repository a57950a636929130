#pragma once
#include "ovcore/types.h"

namespace orvo {

// Held by the user-interface thread while the patching abort question is open, so that a worker
// reporting the finalization stage waits for the answer.
void take_finalization_gate();
void release_finalization_gate();
bool finalization_gate_held();
// What a worker does when it reports the finalization stage: waits while the gate is held.
void pass_finalization_gate();

} // namespace orvo
