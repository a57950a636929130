#include "patch/progress_relay.h"

namespace orvo::patch {

bool progress_relay_t::call(const task_progress_t& progress) {
  task_progress_t forwarded = progress;
  if (stage_id_ != 0) forwarded.stage_id = stage_id_;
  if (step_base_ != no_steps) forwarded.step += step_base_;
  if (step_count_ != no_steps) forwarded.step_count = step_count_;
  if (forwarded.step > forwarded.step_count) forwarded.step = forwarded.step_count;
  return report_progress(outer_, forwarded);
}

} // namespace orvo::patch
