#include "tools/patcher/wizard/finalization_gate.h"

#include "ovcore/thread/sync.h"

#include <atomic>

namespace orvo {

namespace {

thread::recursive_lock_t& gate() {
  static thread::recursive_lock_t lock;
  return lock;
}

std::atomic<bool> gate_held{false};

} // namespace

void take_finalization_gate() {
  gate().lock();
  gate_held = true;
}

void release_finalization_gate() {
  gate_held = false;
  gate().unlock();
}

bool finalization_gate_held() { return gate_held; }

void pass_finalization_gate() {
  gate().lock();
  gate().unlock();
}

} // namespace orvo
