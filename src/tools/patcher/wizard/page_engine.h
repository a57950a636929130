#pragma once
#include "tools/patcher/wizard/page_info.h"

namespace orvo {

// Command ids of the page buttons.
enum : u32 {
  command_next_page = 1000,
  command_previous_page = 1001,
  command_exit = 1002,
  command_abort = 1003,
};

// Template of the frame window.
inline constexpr u32 frame_template_id = 101;
inline constexpr u32 frame_icon_id = 10;

// The page's record, created empty on first use.
page_info_t& get_page_info(u32 page_id);

// Runs the wizard modally on ui from page 1; the result is the code that ended it.
ui::iptr run_wizard(ui::ui_t& ui);

void go_to_page(u32 page_id, page_parameter_t* parameter);
void go_back();
void exit_wizard(i32 code);
void enter_page(page_stack_entry_t* entry);
void leave_page(page_stack_entry_t* entry);

ui::iptr frame_dialog_proc(ui::window_t window, u32 message, uptr wparam, ui::iptr lparam);
ui::iptr page_dialog_proc(ui::window_t window, u32 message, uptr wparam, ui::iptr lparam);

// Called by workers: the latest progress of the operation, and its end.
void post_progress(const task_progress_t& progress);
void post_operation_ended();

// A new operation starts: nothing of finalization has been reported yet.
void reset_progress_state();
// The last progress record and whether finalization was reported during this operation.
task_progress_t last_progress();
bool finalization_reported();

void show_progress(ui::window_t window, const task_progress_t& progress);
// Scales position and total by ten until total fits a bar's range below 2147483647.
void set_progress_bar(ui::window_t window, u32 control, u64 position, u64 total);

// The windowing system of the run and the windows of the wizard.
ui::ui_t& wizard_ui();
ui::window_t frame_window();
ui::window_t page_window();
// The page on top of the stack; 0 when none.
u32 current_page_id();

} // namespace orvo
