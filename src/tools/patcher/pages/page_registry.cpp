#include "tools/patcher/pages/page_ids.h"
#include "tools/patcher/pages/pages.h"
#include "tools/patcher/pages/result_pages.h"
#include "tools/patcher/wizard/page_engine.h"

namespace orvo {

namespace {

// The four pages of an update's steps.
struct step_page_t {
  u32 id;
  const char* name;
  u32 template_id;
  page_handler_t::function_t init;
  page_handler_t::function_t show;
  page_handler_t::function_t abort_and_exit;
  page_handler_t::function_t operation_ended;
  page_progress_handler_t::function_t progress;
};

const step_page_t step_pages[] = {
    {page_welcome, "Welcome", 102, welcome_init, nullptr, nullptr, nullptr, nullptr},
    {page_verification, "Installer verification", 105, operation_page_init<page_verification>, start_verification,
     abort_question<page_verification>, verification_ended, operation_progress},
    {page_analysis, "Analysis", 108, operation_page_init<page_analysis>, start_analysis,
     abort_question<page_analysis>, analysis_ended, operation_progress},
    {page_patching, "Patching", 108, operation_page_init<page_patching>, start_patching_page,
     patching_abort_question, patching_ended, patching_progress},
};

page_info_t& register_page(u32 id, const char* name, u32 template_id) {
  page_info_t& info = get_page_info(id);
  info.dialog_id = template_id;
  info.name.set(name);
  return info;
}

void register_step_page(const step_page_t& page) {
  page_info_t& info = register_page(page.id, page.name, page.template_id);
  set_handler(info.init, page.init);
  set_handler(info.show, page.show);
  set_handler(info.abort, page.abort_and_exit);
  set_handler(info.exit, page.abort_and_exit);
  set_handler(info.operation_ended, page.operation_ended);
  set_handler(info.progress, page.progress);
}

void register_result_page(const result_page_t& page) {
  page_info_t& info = register_page(page.id, page.name, page.template_id);
  info.automatic_action = automatic_exit;
  info.exit_code = page.exit_code;
  if (page.id == page_insufficient_space) {
    set_handler(info.init, free_space_init);
    set_handler(info.previous, free_space_retest);
    set_handler(info.paint, paint_warning_icon);
    info.next_page = page_patching;
    return;
  }
  set_handler(info.init, result_init);
  if (page.template_id == 110) set_handler(info.paint, paint_error_icon);
}

} // namespace

void register_pages() {
  for (const step_page_t& page : step_pages) register_step_page(page);
  page_info_t& welcome = get_page_info(page_welcome);
  set_handler(welcome.next, welcome_next);
  set_handler(welcome.custom_message, language_selection);
  welcome.automatic_action = automatic_run_handler;
  set_handler(welcome.automatic, welcome_next);
  for (const result_page_t& page : result_pages) register_result_page(page);
}

} // namespace orvo
