#include "ovcore/messages/messages.h"
#include "patch/analyze_patch_result.h"
#include "patch/apply_patch.h"
#include "patch/apply_patch_result.h"
#include "patch/container_open_result.h"
#include "tools/patcher/application.h"
#include "tools/patcher/pages/abort_state.h"
#include "tools/patcher/pages/page_ids.h"
#include "tools/patcher/pages/page_texts.h"
#include "tools/patcher/pages/pages.h"
#include "tools/patcher/patcher_pool.h"
#include "tools/patcher/wizard/page_engine.h"

namespace orvo {

namespace {

// Where a failed step's result leads.
struct failure_route_t {
  u32 result;
  u32 page;
};

constexpr failure_route_t analysis_failures[] = {
    {2, page_internal_error}, {3, page_installer_corrupted}, {4, page_open_error},
    {5, page_read_error},     {6, page_unsupported_version}, {7, page_installer_corrupted},
};

constexpr failure_route_t patching_failures[] = {
    {2, page_internal_error},         {3, page_internal_error},          {4, page_internal_error},
    {5, page_installer_corrupted},    {6, page_read_error},              {7, page_write_error},
    {8, page_creation_error},         {9, page_filesystem_error},        {10, page_filesystem_error},
    {11, page_filesystem_error},      {12, page_critical_internal_error}, {13, page_critical_filesystem_error},
    {14, page_critical_filesystem_error},
};

template <u32 N>
const failure_route_t* find_route(const failure_route_t (&routes)[N], u32 result) {
  for (const failure_route_t& route : routes)
    if (route.result == result) return &route;
  return nullptr;
}

constexpr u32 no_operation_result = 0xFFFFFFFF;

u32 result_of(const pool_operation_t* operation) { return operation ? operation->result() : no_operation_result; }

void start_operation(u32 page_id, const char* log_line) {
  abort_state(page_id) = {};
  reset_progress_state();
  log_info("%s", log_line);
}

// The first half of every operation-ended handler; false when the question defers it.
bool operation_has_ended(u32 page_id) {
  abort_state_t& state = abort_state(page_id);
  if (state.asking) {
    state.ended_while_asking = true;
    return false;
  }
  operation_wait();
  return true;
}

void leave_for(u32 page_id) {
  operation_release();
  go_to_page(page_id, nullptr);
}

void log_embedded_container_failure(embedded_container_status_t status) {
  switch (status) {
  case embedded_container_status_t::load_failed: log_error("[ERR] Unable to load data resource"); break;
  case embedded_container_status_t::lock_failed: log_error("[ERR] Unable to lock data resource"); break;
  case embedded_container_status_t::empty:
    log_error("[ERR] Unable to determine size of the resource or the resource is empty");
    break;
  default: log_error("[ERR] Unable to find data resource"); break;
  }
}

} // namespace

template <u32 PAGE>
void operation_page_init(ui::window_t window, page_parameter_t*) {
  constexpr language_key_t text = PAGE == page_verification ? key_verifying_text
                                  : PAGE == page_analysis   ? key_analyzing_text
                                                            : key_patching_text;
  set_control_text(window, control_operation_text, text);
  set_control_text(window, command_abort, key_button_abort);
  if (wizard_ui().has_control(window, control_upper_bar)) set_progress_bar(window, control_upper_bar, 0, 1);
  set_progress_bar(window, control_lower_bar, 0, 1);
}

template void operation_page_init<page_verification>(ui::window_t, page_parameter_t*);
template void operation_page_init<page_analysis>(ui::window_t, page_parameter_t*);
template void operation_page_init<page_patching>(ui::window_t, page_parameter_t*);

void start_verification(ui::window_t, page_parameter_t*) {
  start_operation(page_verification, "Verifying integrity of the installer");
  embedded_container_t container;
  const embedded_container_status_t status = application.find_container
                                                 ? application.find_container(application.module_instance, container)
                                                 : embedded_container_status_t::not_found;
  if (status != embedded_container_status_t::found) {
    log_embedded_container_failure(status);
    go_to_page(page_installer_corrupted, nullptr);
    return;
  }
  start_pool_init(container.data, container.size);
}

void start_analysis(ui::window_t, page_parameter_t*) {
  start_operation(page_analysis, "Analyzing the installed files");
  start_patch_analysis();
}

void start_patching_page(ui::window_t, page_parameter_t*) {
  start_operation(page_patching, "Patching files");
  start_patching();
}

void verification_ended(ui::window_t, page_parameter_t*) {
  if (!operation_has_ended(page_verification)) return;
  const pool_operation_t* operation = current_operation();
  if (abort_state(page_verification).confirmed || (operation && operation->aborted())) {
    log_warning("[WRN] Verification was aborted");
    return leave_for(page_aborted);
  }
  if (operation && operation->succeeded()) {
    log_info("Verification succeeded");
    return leave_for(page_analysis);
  }
  const u32 result = result_of(operation);
  log_error("[ERR] Verification failed: %u (%s)", result, patch::container_open_result_name(result));
  leave_for(page_installer_corrupted);
}

void analysis_ended(ui::window_t, page_parameter_t*) {
  if (!operation_has_ended(page_analysis)) return;
  const pool_operation_t* operation = current_operation();
  if (abort_state(page_analysis).confirmed || (operation && operation->aborted())) {
    log_warning("[WRN] Analysis was aborted");
    return leave_for(page_aborted);
  }
  if (operation && operation->succeeded()) {
    if (!is_patch_necessary()) {
      log_info("Analysis succeeded - no patch necessary");
      return leave_for(page_already_patched);
    }
    log_info("Analysis succeeded");
    operation_release();
    return run_free_space_check();
  }
  const u32 result = result_of(operation);
  const failure_route_t* route = find_route(analysis_failures, result);
  if (route) log_error("[ERR] Analysis failed: %u (%s)", result, patch::analyze_patch_result_name(result));
  else log_error("[ERR] Analysis failed: %u", result);
  leave_for(route ? route->page : page_internal_error);
}

void patching_ended(ui::window_t, page_parameter_t*) {
  if (!operation_has_ended(page_patching)) return;
  const pool_operation_t* operation = current_operation();
  if (operation && operation->succeeded()) {
    log_info("Patching succeeded");
    return leave_for(page_finished);
  }
  if (operation && operation->aborted()) {
    log_warning("[WRN] Patching was aborted");
    return leave_for(page_aborted);
  }
  const u32 result = result_of(operation);
  const failure_route_t* route = find_route(patching_failures, result);
  if (route) log_error("[ERR] Patching failed: %u (%s)", result, patch::apply_patch_result_name(result));
  else log_error("[ERR] Patching failed: %u", result);
  leave_for(route ? route->page : page_internal_error);
}

void operation_progress(ui::window_t window, page_parameter_t*, const task_progress_t* progress) {
  show_progress(window, *progress);
}

void patching_progress(ui::window_t window, page_parameter_t*, const task_progress_t* progress) {
  show_progress(window, *progress);
  // Once finalization was reported nothing can stop the operation any more.
  const bool can_abort = !abort_state(page_patching).confirmed && !finalization_reported() &&
                         progress->stage_id != patch::finalization_marker;
  wizard_ui().enable_control(window, command_abort, can_abort);
}

} // namespace orvo
