#include "tools/patcher/frontends/terminal/terminal_ui.h"

#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/messages/messages.h"
#include "ovcore/strings/text_encoding.h"
#include "tools/patcher/frontends/terminal/page_focus.h"
#include "tools/patcher/frontends/terminal/text_layout.h"

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <new>
#include <strings.h>
#include <unistd.h>

namespace orvo::ui {

namespace {

constexpr u32 idle_wait_ms = 200;
constexpr i32 list_page_step = 10;

std::atomic<bool> close_requested{false};

const record_control_t* list_of(const window_record_t* page) {
  if (!page) return nullptr;
  for (const record_control_t& c : page->controls)
    if (c.kind == control_kind_t::drop_down_list) return &c;
  return nullptr;
}

// The entry after the highlight whose text starts with the typed letter, wrapping around.
i32 entry_for_letter(const record_control_t& list, i32 from, wchar_t letter) {
  const i32 count = static_cast<i32>(list.entries.size());
  for (i32 step = 1; step <= count; ++step) {
    const i32 index = (from + step) % count;
    const std::wstring text = to_wide(list.entries[static_cast<u32>(index)].text);
    if (!text.empty() && std::towlower(static_cast<wint_t>(text[0])) == std::towlower(static_cast<wint_t>(letter)))
      return index;
  }
  return from;
}

} // namespace

void request_terminal_close() { close_requested = true; }

bool terminal_ui_t::start() { return queue_.open() && screen_.start(); }

iptr terminal_ui_t::run_modal(u32 template_id, dialog_proc_t proc) {
  if (!open_frame(template_id, proc)) return -1;
  while (!ended_) turn();
  return close_frame();
}

void terminal_ui_t::turn() {
  if (close_requested.exchange(false)) {
    close();
    return;
  }
  posted_queue_t::posted_t posted;
  if (queue_.take(posted)) {
    deliver(posted.window, posted.message, 0);
    return;
  }
  if (dirty_) paint();
  terminal_key_t key;
  if (!screen_.read_key(key)) {
    queue_.wait(STDIN_FILENO, idle_wait_ms);
    return;
  }
  dirty_ = true;
  if (key.kind == key_kind_t::resize) screen_.invalidate();
  else if (question_) handle_question_key(key);
  else if (popup_.open) handle_list_key(key);
  else handle_page_key(key);
}

void terminal_ui_t::paint() {
  dirty_ = false;
  const window_record_t* shown = find(page());
  static const std::string no_caption;
  const window_record_t* frame = find(frame_);
  if (shown) focus_ = settle_focus(*shown, focus_);
  if (!list_of(shown)) popup_.open = false;
  paint_screen({frame ? frame->caption : no_caption, shown, focus_, popup_, question_ ? &question_->view : nullptr});
}

void terminal_ui_t::close() {
  popup_.open = false;
  if (question_) answer(false);
  else if (frame_) deliver(frame_, message_command, command_wparam(command_cancel));
}

void terminal_ui_t::handle_page_key(const terminal_key_t& key) {
  const window_record_t* shown = find(page());
  const window_record_t* frame = find(frame_);
  if (key.kind == key_kind_t::escape) {
    close();
    return;
  }
  if (!shown || !frame || !frame->enabled || !shown->enabled) return;
  switch (key.kind) {
  case key_kind_t::next:
  case key_kind_t::down: focus_ = move_focus(*shown, settle_focus(*shown, focus_), 1); break;
  case key_kind_t::previous:
  case key_kind_t::up: focus_ = move_focus(*shown, settle_focus(*shown, focus_), -1); break;
  case key_kind_t::open_list: open_list(); break;
  case key_kind_t::enter:
    focus_ = settle_focus(*shown, focus_);
    if (list_of(shown) && focus_ == list_of(shown)->id) open_list();
    else press(focus_);
    break;
  case key_kind_t::character: press(button_for_key(*shown, static_cast<wchar_t>(key.character))); break;
  default: break;
  }
}

void terminal_ui_t::press(u32 control) {
  const record_control_t* c = find_control(page(), control);
  if (!c || !c->visible || !c->enabled ||
      (c->kind != control_kind_t::button && c->kind != control_kind_t::default_button))
    return;
  focus_ = control;
  deliver(page(), message_command, command_wparam(control));
}

void terminal_ui_t::open_list() {
  const record_control_t* list = list_of(find(page()));
  if (!list || !list->visible || !list->enabled || list->entries.empty()) return;
  focus_ = list->id;
  popup_ = {true, std::max(list->selection, 0)};
}

void terminal_ui_t::handle_list_key(const terminal_key_t& key) {
  const record_control_t* list = list_of(find(page()));
  if (!list || list->entries.empty()) {
    popup_.open = false;
    return;
  }
  const i32 last = static_cast<i32>(list->entries.size()) - 1;
  i32& at = popup_.highlighted;
  switch (key.kind) {
  case key_kind_t::escape: popup_.open = false; break;
  case key_kind_t::enter: accept_list_entry(); break;
  case key_kind_t::up:
  case key_kind_t::previous: at = std::max(at - 1, 0); break;
  case key_kind_t::down:
  case key_kind_t::next: at = std::min(at + 1, last); break;
  case key_kind_t::page_up: at = std::max(at - list_page_step, 0); break;
  case key_kind_t::page_down: at = std::min(at + list_page_step, last); break;
  case key_kind_t::first: at = 0; break;
  case key_kind_t::last: at = last; break;
  case key_kind_t::character: at = entry_for_letter(*list, at, static_cast<wchar_t>(key.character)); break;
  default: break;
  }
}

void terminal_ui_t::accept_list_entry() {
  const record_control_t* shown = list_of(find(page()));
  record_control_t* list = shown ? find_control(page(), shown->id) : nullptr;
  popup_.open = false;
  if (!list || popup_.highlighted > static_cast<i32>(list->entries.size()) - 1) return;
  list->selection = popup_.highlighted;
  deliver(page(), message_command, command_wparam(list->id, notification_selection_accepted));
}

void terminal_ui_t::handle_question_key(const terminal_key_t& key) {
  bool& yes = question_->view.yes_focused;
  switch (key.kind) {
  case key_kind_t::escape: answer(false); break;
  case key_kind_t::enter: answer(yes); break;
  case key_kind_t::next:
  case key_kind_t::previous: yes = !yes; break;
  case key_kind_t::character:
    if (key.character == 'y' || key.character == 'Y') answer(true);
    else if (key.character == 'n' || key.character == 'N') answer(false);
    break;
  default: break;
  }
}

void terminal_ui_t::answer(bool yes) {
  question_->answered = true;
  question_->answer = yes;
}

bool terminal_ui_t::ask_yes_no(window_t, const string& text, const string& caption) {
  if (!is_convertible(text) || !is_convertible(caption)) {
    log_error("[ERR] A question text is not valid UTF-8");
    return false;
  }
  open_question_t question{{text.c_str(), caption.c_str(), true}};
  open_question_t* outer = question_;
  question_ = &question;
  popup_.open = false;
  dirty_ = true;
  while (!question.answered && !ended_) turn();
  question_ = outer;
  dirty_ = true;
  return question.answered && question.answer;
}

void terminal_ui_t::set_focus(window_t window) {
  if (window == page()) focus_ = 0;
}

// A terminal cell stands for one dialog unit: icons are shown as marks, not placed.
bool terminal_ui_t::dialog_point_to_pixels(window_t window, i32&, i32&) { return find(window) != nullptr; }

auto_ptr_t<ui_t> create_terminal_ui() {
  auto_ptr_t<terminal_ui_t> ui(new (std::nothrow) terminal_ui_t);
  if (!ui || !ui->start()) return auto_ptr_t<ui_t>();
  return auto_ptr_t<ui_t>(ui.release());
}

} // namespace orvo::ui
