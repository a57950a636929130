#include "tools/patcher/wizard/page_engine.h"

#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/messages/messages.h"
#include "ovcore/thread/sync.h"
#include "patch/apply_patch.h"
#include "tools/patcher/application.h"
#include "tools/patcher/wizard/finalization_gate.h"

#include <cstring>

namespace orvo {

namespace {

constexpr u32 aborted_page = 10;
constexpr u64 largest_bar_total = 0x7FFFFFFF;

struct engine_t {
  array_dyn_t<auto_ptr_t<page_info_t>> pages;
  array_dyn_t<auto_ptr_t<page_stack_entry_t>> stack;
  ui::ui_t* ui = nullptr;
  ui::window_t frame = nullptr;
  // Written under the progress lock; workers post to it.
  ui::window_t page_window = nullptr;
  task_progress_t last_progress;
  bool progress_pending = false;
  bool finalization_reported = false;
  // Counts page changes, so that enter_page notices a handler that moved on.
  u64 page_changes = 0;
};

engine_t engine;

thread::recursive_lock_t& progress_lock() {
  static thread::recursive_lock_t lock;
  return lock;
}

page_stack_entry_t* current_entry() {
  return engine.stack.empty() ? nullptr : engine.stack[engine.stack.size() - 1].get();
}

void set_page_window(ui::window_t window) {
  thread::scoped_lock_t hold(progress_lock());
  engine.page_window = window;
  engine.progress_pending = false;
}

bool same_progress(const task_progress_t& a, const task_progress_t& b) {
  return std::memcmp(&a, &b, sizeof(task_progress_t)) == 0;
}

template <typename H, typename... A>
void call(const auto_ptr_t<H>& handler, A... arguments) {
  if (handler) handler->invoke(arguments...);
}

bool page_changed_since(u64 changes) { return engine.page_changes != changes; }

void run_automatic_action(page_info_t& info, page_stack_entry_t* entry) {
  if (info.automatic_action == automatic_run_handler) {
    call(info.automatic, engine.page_window, entry->parameter.get());
  } else if (info.automatic_action == automatic_exit) {
    log_info("Automatic mode exited with code: %d", info.exit_code);
    exit_wizard(info.exit_code);
  }
}

ui::iptr run_command(ui::window_t window, page_info_t& info, page_parameter_t* parameter, u32 command) {
  switch (command) {
  case command_next_page:
    log_info("Executing NEXT_PAGE on: %s", info.name.c_str());
    if (info.next) {
      info.next->invoke(window, parameter);
    } else {
      log_info("  Default handler");
      if (info.next_page != 0) go_to_page(info.next_page, nullptr);
    }
    return 0;
  case command_previous_page:
    log_info("Executing PREVIOUS_PAGE on: %s", info.name.c_str());
    if (info.previous) {
      info.previous->invoke(window, parameter);
    } else {
      log_info("  Default handler");
      go_back();
    }
    return 0;
  case command_exit:
  case ui::command_cancel:
    log_info("Executing EXIT on: %s", info.name.c_str());
    if (info.exit) {
      info.exit->invoke(window, parameter);
      return 0;
    }
    log_info("  Default handler");
    exit_wizard(0);
    return 1;
  case ui::command_accept:
    // Enter presses the page's forward button, or Exit where there is none.
    if (engine.ui->control_usable(window, command_next_page)) return run_command(window, info, parameter, command_next_page);
    if (engine.ui->control_usable(window, command_exit)) return run_command(window, info, parameter, command_exit);
    return 0;
  case command_abort:
  case ui::command_abort:
    log_info("Executing ABORT on: %s", info.name.c_str());
    if (info.abort) {
      info.abort->invoke(window, parameter);
    } else {
      log_info("  Default handler");
      go_to_page(aborted_page, nullptr);
    }
    return 0;
  default:
    return 0;
  }
}

ui::iptr paint_page(ui::window_t window, page_info_t& info, page_parameter_t* parameter) {
  if (!info.paint) return 0;
  ui::canvas_t canvas = engine.ui->begin_paint(window);
  if (!canvas) return 0;
  info.paint->invoke(window, parameter, canvas);
  engine.ui->end_paint(window, canvas);
  return 1;
}

void deliver_progress(ui::window_t window, page_info_t& info, page_parameter_t* parameter) {
  task_progress_t copy;
  {
    thread::scoped_lock_t hold(progress_lock());
    copy = engine.last_progress;
    engine.progress_pending = false;
  }
  if (info.progress) info.progress->invoke(window, parameter, &copy);
}

} // namespace

page_info_t& get_page_info(u32 page_id) {
  if (engine.pages.size() <= page_id) ORVO_CHECK(engine.pages.resize(page_id + 1), "Out of memory.");
  auto_ptr_t<page_info_t>& slot = engine.pages[page_id];
  if (!slot) slot.reset(new page_info_t);
  return *slot;
}

ui::iptr run_wizard(ui::ui_t& ui) {
  engine.ui = &ui;
  engine.frame = nullptr;
  engine.stack.clear();
  set_page_window(nullptr);
  const ui::iptr code = ui.run_modal(frame_template_id, frame_dialog_proc);
  engine.stack.clear();
  set_page_window(nullptr);
  engine.frame = nullptr;
  engine.ui = nullptr;
  return code;
}

void enter_page(page_stack_entry_t* entry) {
  if (!entry) return;
  page_info_t& info = get_page_info(entry->page_id);
  log_info("Entering page: %s", info.name.c_str());
  ui::window_t window = engine.ui->create_child(engine.frame, info.dialog_id, page_dialog_proc);
  ORVO_CHECK_AT(window, "patcher", 515, "Unable to create dialog.");
  set_page_window(window);
  const u64 changes = engine.page_changes;
  page_parameter_t* parameter = entry->parameter.get();
  call(info.init, window, parameter);
  if (page_changed_since(changes)) return;
  engine.ui->show_window(window, true);
  call(info.show, window, parameter);
  if (page_changed_since(changes)) return;
  engine.ui->set_focus(window);
  if (application.automatic_mode) run_automatic_action(info, entry);
}

void leave_page(page_stack_entry_t* entry) {
  if (!entry) return;
  page_info_t& info = get_page_info(entry->page_id);
  log_info("Exiting page: %s", info.name.c_str());
  ui::window_t window = engine.page_window;
  page_parameter_t* parameter = entry->parameter.get();
  call(info.leave, window, parameter);
  engine.ui->show_window(window, false);
  call(info.after_hide, window, parameter);
  set_page_window(nullptr);
  engine.ui->destroy_window(window);
}

void go_to_page(u32 page_id, page_parameter_t* parameter) {
  auto_ptr_t<page_parameter_t> owned(parameter);
  ++engine.page_changes;
  if (engine.page_window) leave_page(current_entry());
  auto_ptr_t<page_stack_entry_t> entry(new page_stack_entry_t);
  entry->page_id = page_id;
  entry->parameter = static_cast<auto_ptr_t<page_parameter_t>&&>(owned);
  {
    thread::scoped_lock_t hold(progress_lock());
    ORVO_CHECK(engine.stack.push_move(entry), "Out of memory.");
  }
  enter_page(current_entry());
}

void go_back() {
  ++engine.page_changes;
  if (engine.page_window) leave_page(current_entry());
  {
    thread::scoped_lock_t hold(progress_lock());
    if (!engine.stack.empty()) engine.stack.resize(engine.stack.size() - 1);
  }
  enter_page(current_entry());
}

void exit_wizard(i32 code) {
  ++engine.page_changes;
  if (engine.page_window) leave_page(current_entry());
  engine.ui->end_dialog(engine.frame, code);
}

ui::iptr frame_dialog_proc(ui::window_t window, u32 message, uptr wparam, ui::iptr lparam) {
  if (message == ui::message_init_dialog) {
    engine.frame = window;
    engine.ui->set_frame_icon(window, frame_icon_id);
    if (application.automatic_mode) engine.ui->enable_window(window, false);
    go_to_page(1, nullptr);
    return 1;
  }
  if (message != ui::message_command) return 0;
  if (engine.page_window) return page_dialog_proc(engine.page_window, message, wparam, lparam);
  if ((wparam & 0xFFFF) == ui::command_cancel) {
    exit_wizard(0);
    return 1;
  }
  return 0;
}

ui::iptr page_dialog_proc(ui::window_t window, u32 message, uptr wparam, ui::iptr lparam) {
  page_stack_entry_t* entry = current_entry();
  if (!entry) return 0;
  page_info_t& info = get_page_info(entry->page_id);
  page_parameter_t* parameter = entry->parameter.get();
  if (info.custom_message) {
    page_message_t record{message, static_cast<u32>(wparam), static_cast<i32>(lparam), 0};
    if (info.custom_message->invoke(window, parameter, &record)) {
      log_info("Custom message (%u, %u, %d) -> %d on %s", record.message, record.wparam, record.lparam,
               record.result, info.name.c_str());
      return record.result;
    }
  }
  switch (message) {
  case ui::message_init_dialog:
    return 1;
  case ui::message_paint:
    return paint_page(window, info, parameter);
  case ui::message_command:
    return run_command(window, info, parameter, static_cast<u32>(wparam & 0xFFFF));
  case ui::message_progress:
    deliver_progress(window, info, parameter);
    return 1;
  case ui::message_operation_ended:
    log_info("Executing OPERATION_ENDED on: %s", info.name.c_str());
    call(info.operation_ended, window, parameter);
    return 1;
  default:
    return 0;
  }
}

void post_progress(const task_progress_t& progress) {
  {
    thread::scoped_lock_t hold(progress_lock());
    if (!same_progress(progress, engine.last_progress)) {
      engine.last_progress = progress;
      if (progress.stage_id == patch::finalization_marker) engine.finalization_reported = true;
      // At most one message waits: the page reads the latest record when it gets it.
      if (engine.page_window && !engine.progress_pending)
        engine.progress_pending = engine.ui->post_message(engine.page_window, ui::message_progress);
    }
  }
  if (progress.stage_id == patch::finalization_marker) pass_finalization_gate();
}

void post_operation_ended() {
  for (;;) {
    {
      thread::scoped_lock_t hold(progress_lock());
      if (!engine.page_window) return;
      if (engine.ui->post_message(engine.page_window, ui::message_operation_ended)) return;
    }
    thread::sleep_ms(100);
  }
}

void reset_progress_state() {
  thread::scoped_lock_t hold(progress_lock());
  engine.finalization_reported = false;
}

task_progress_t last_progress() {
  thread::scoped_lock_t hold(progress_lock());
  return engine.last_progress;
}

bool finalization_reported() {
  thread::scoped_lock_t hold(progress_lock());
  return engine.finalization_reported;
}

void show_progress(ui::window_t window, const task_progress_t& progress) {
  constexpr u32 upper_bar = 1007;
  constexpr u32 lower_bar = 1006;
  if (engine.ui->has_control(window, upper_bar)) set_progress_bar(window, upper_bar, progress.step, progress.step_count);
  if (!engine.ui->has_control(window, lower_bar)) return;
  set_progress_bar(window, lower_bar, progress.bytes_done, progress.bytes_total);
  engine.ui->show_control(window, lower_bar, progress.bytes_total != 0);
}

void set_progress_bar(ui::window_t window, u32 control, u64 position, u64 total) {
  while (total >= largest_bar_total) {
    position /= 10;
    total /= 10;
  }
  if (engine.ui->progress_upper(window, control) != total)
    engine.ui->set_progress_range(window, control, static_cast<u32>(total));
  engine.ui->set_progress_position(window, control, static_cast<u32>(position));
}

ui::ui_t& wizard_ui() { return *engine.ui; }
ui::window_t frame_window() { return engine.frame; }
ui::window_t page_window() { return engine.page_window; }

u32 current_page_id() {
  const page_stack_entry_t* entry = current_entry();
  return entry ? entry->page_id : 0;
}

} // namespace orvo
