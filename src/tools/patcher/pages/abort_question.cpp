#include "ovcore/messages/messages.h"
#include "patch/apply_patch.h"
#include "tools/patcher/application.h"
#include "tools/patcher/pages/abort_state.h"
#include "tools/patcher/pages/page_ids.h"
#include "tools/patcher/pages/page_texts.h"
#include "tools/patcher/pages/pages.h"
#include "tools/patcher/patcher_pool.h"
#include "tools/patcher/wizard/finalization_gate.h"
#include "tools/patcher/wizard/page_engine.h"

namespace orvo {

namespace {

abort_state_t states[3];

// Yes, or in automatic mode (nobody to ask) a close request taken as confirmed.
bool abort_confirmed_by_user(ui::window_t window) {
  if (application.automatic_mode) return true;
  return wizard_ui().ask_yes_no(window, page_text(key_abort_question), page_text(key_question_caption));
}

void confirm_abort(ui::window_t window, abort_state_t& state) {
  log_warning("[WRN] Abort confirmed");
  state.confirmed = true;
  if (pool_operation_t* operation = current_operation()) operation->request_abort();
  wizard_ui().enable_control(window, command_abort, false);
}

void ask(ui::window_t window, abort_state_t& state) {
  state.asking = true;
  if (abort_confirmed_by_user(window)) confirm_abort(window, state);
}

// The question has closed: an operation that ended meanwhile is handled now.
void finish_question(ui::window_t window, u32 page_id, abort_state_t& state) {
  state.asking = false;
  if (!state.ended_while_asking) return;
  state.ended_while_asking = false;
  const page_info_t& info = get_page_info(page_id);
  if (info.operation_ended) info.operation_ended->invoke(window, nullptr);
}

bool already_asking(const abort_state_t& state) {
  if (!state.asking) return false;
  log_warning("[WRN] Abort already being asked, request ignored");
  return true;
}

} // namespace

abort_state_t& abort_state(u32 page_id) {
  switch (page_id) {
  case page_verification: return states[0];
  case page_analysis: return states[1];
  default: return states[2];
  }
}

template <u32 PAGE>
void abort_question(ui::window_t window, page_parameter_t*) {
  log_warning("[WRN] Abort requested");
  abort_state_t& state = abort_state(PAGE);
  if (already_asking(state)) return;
  ask(window, state);
  finish_question(window, PAGE, state);
}

template void abort_question<page_verification>(ui::window_t, page_parameter_t*);
template void abort_question<page_analysis>(ui::window_t, page_parameter_t*);

void patching_abort_question(ui::window_t window, page_parameter_t*) {
  log_warning("[WRN] Abort requested");
  abort_state_t& state = abort_state(page_patching);
  if (already_asking(state)) return;
  const bool took_gate = !finalization_gate_held();
  if (took_gate) take_finalization_gate();
  if (finalization_reported() || last_progress().stage_id == patch::finalization_marker) {
    if (took_gate) release_finalization_gate();
    log_warning("[WRN] Finalization already running, abort impossible");
    return;
  }
  ask(window, state);
  if (took_gate) release_finalization_gate();
  finish_question(window, page_patching, state);
}

} // namespace orvo
