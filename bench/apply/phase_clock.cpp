#include "phase_clock.h"

#include "patch/apply_patch.h"
#include "patch/block_header.h"

namespace orvo::bench {

namespace {

constexpr u32 phase_index(update_phase_t phase) { return static_cast<u32>(phase); }

} // namespace

void phase_clock_t::start() {
  starts_[0] = clock_t::now();
  reached_ = 0;
}

void phase_clock_t::enter(update_phase_t phase) {
  const clock_t::time_point now = clock_t::now();
  while (reached_ < phase_index(phase)) starts_[++reached_] = now;
}

void phase_clock_t::stop() {
  const clock_t::time_point now = clock_t::now();
  while (reached_ < update_phase_count) starts_[++reached_] = now;
}

bool phase_clock_t::call(const task_progress_t& progress) {
  if (progress.stage_id == patch::finalization_marker) enter(update_phase_t::finalization);
  if (progress.stage_id == patch::stage_extraction)
    enter(progress.step < rebuild_steps_ ? update_phase_t::rebuilding : update_phase_t::verification);
  return true;
}

double phase_clock_t::seconds(update_phase_t phase) const {
  const u32 index = phase_index(phase);
  return std::chrono::duration<double>(starts_[index + 1] - starts_[index]).count();
}

double phase_clock_t::total_seconds() const {
  return std::chrono::duration<double>(starts_[update_phase_count] - starts_[0]).count();
}

} // namespace orvo::bench
