#pragma once
#include "ovcore/progress/task_progress.h"

namespace orvo::patch {

// Forwards a worker's progress to an outer callback, stamping its own stage and steps on the way.
class progress_relay_t final : public progress_callback_t {
public:
  static constexpr u64 no_steps = ~u64(0);

  // The outer callback may be null: every report is then answered with true.
  explicit progress_relay_t(progress_callback_t* outer = nullptr) : outer_(outer) {}

  // 0 keeps the inner record's stage.
  void set_stage(u64 stage_id) { stage_id_ = stage_id; }
  // Added to the inner steps done; no_steps for none.
  void set_step_base(u64 step_base) { step_base_ = step_base; }
  // Replaces the inner steps total; no_steps for none.
  void set_step_count(u64 step_count) { step_count_ = step_count; }

  bool call(const task_progress_t& progress) override;

private:
  progress_callback_t* outer_;
  u64 stage_id_ = 0;
  u64 step_base_ = no_steps;
  u64 step_count_ = no_steps;
};

} // namespace orvo::patch
