#pragma once
#include "ovcore/progress/task_progress.h"

#include <array>
#include <chrono>

namespace orvo::bench {

// The phases of an update, in the order they run.
enum class update_phase_t : u32 { analysis, preparation, rebuilding, verification, finalization };
constexpr u32 update_phase_count = 5;
constexpr const char* update_phase_names[update_phase_count] = {"analysis", "preparation", "rebuilding",
                                                                "verification", "finalization"};

// Times the phases of one update. The caller marks the analysis and the start of the
// application; the application's progress reports mark the rest: its extraction reports
// rebuild until the steps of all chains are done and verify after them, and finalization has a
// stage of its own. A phase that never reports takes no time.
class phase_clock_t final : public progress_callback_t {
public:
  // rebuild_steps: the diffs that the application applies, over all files.
  void set_rebuild_steps(u64 rebuild_steps) { rebuild_steps_ = rebuild_steps; }
  // The update begins with its analysis.
  void start();
  // The update is in phase from now on; phases only move forward.
  void enter(update_phase_t phase);
  // Ends the last phase.
  void stop();
  bool call(const task_progress_t& progress) override;

  double seconds(update_phase_t phase) const;
  // From the start to the stop.
  double total_seconds() const;

private:
  using clock_t = std::chrono::steady_clock;

  // starts_[i]: when phase i began; the last one is when the update ended.
  std::array<clock_t::time_point, update_phase_count + 1> starts_{};
  u32 reached_ = 0;
  u64 rebuild_steps_ = 0;
};

} // namespace orvo::bench
