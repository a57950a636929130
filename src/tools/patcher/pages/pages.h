#pragma once
#include "tools/patcher/wizard/page_info.h"

namespace orvo {

// Fills the page table: the four steps of an update and its sixteen result pages.
void register_pages();

// Welcome
void welcome_init(ui::window_t window, page_parameter_t* parameter);
void welcome_next(ui::window_t window, page_parameter_t* parameter);
bool language_selection(ui::window_t window, page_parameter_t* parameter, page_message_t* message);

// Verification, analysis and patching
template <u32 PAGE>
void operation_page_init(ui::window_t window, page_parameter_t* parameter);
void start_verification(ui::window_t window, page_parameter_t* parameter);
void start_analysis(ui::window_t window, page_parameter_t* parameter);
void start_patching_page(ui::window_t window, page_parameter_t* parameter);
void verification_ended(ui::window_t window, page_parameter_t* parameter);
void analysis_ended(ui::window_t window, page_parameter_t* parameter);
void patching_ended(ui::window_t window, page_parameter_t* parameter);
void operation_progress(ui::window_t window, page_parameter_t* parameter, const task_progress_t* progress);
void patching_progress(ui::window_t window, page_parameter_t* parameter, const task_progress_t* progress);
template <u32 PAGE>
void abort_question(ui::window_t window, page_parameter_t* parameter);
void patching_abort_question(ui::window_t window, page_parameter_t* parameter);

// Free space
void run_free_space_check();
void free_space_init(ui::window_t window, page_parameter_t* parameter);
void free_space_retest(ui::window_t window, page_parameter_t* parameter);

// Result pages
void result_init(ui::window_t window, page_parameter_t* parameter);
void paint_error_icon(ui::window_t window, page_parameter_t* parameter, ui::canvas_t canvas);
void paint_warning_icon(ui::window_t window, page_parameter_t* parameter, ui::canvas_t canvas);
// The text of a result page in the language in force.
void compose_result_text(mstring_t& out, u32 page_id);

} // namespace orvo
