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

bool is_convertible(const string& text) {
  array_dyn_t<wchar16_t> wide;
  return utf8_to_utf16(wide, text);
}

const terminal_control_t* list_of(const terminal_window_t* page) {
  if (!page) return nullptr;
  for (const terminal_control_t& c : page->controls)
    if (c.kind == control_kind_t::drop_down_list) return &c;
  return nullptr;
}

// The entry after the highlight whose text starts with the typed letter, wrapping around.
i32 entry_for_letter(const terminal_control_t& list, i32 from, wchar_t letter) {
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

window_t terminal_ui_t::create_window(window_t parent, u32 template_id, dialog_proc_t proc) {
  const dialog_template_t* layout = find_dialog_template(template_id);
  if (!layout) {
    log_error("[ERR] No dialog template %u", template_id);
    return nullptr;
  }
  auto record = std::make_unique<terminal_window_t>();
  record->template_id = template_id;
  record->proc = proc;
  record->parent = parent;
  for (u32 i = 0; i < layout->control_count; ++i) {
    terminal_control_t control;
    control.id = layout->controls[i].id;
    control.kind = layout->controls[i].kind;
    record->controls.push_back(control);
  }
  std::lock_guard<std::mutex> hold(windows_lock_);
  const window_t window = reinterpret_cast<window_t>(next_window_++);
  windows_[window] = std::move(record);
  return window;
}

terminal_window_t* terminal_ui_t::find(window_t window) const {
  const auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : found->second.get();
}

terminal_control_t* terminal_ui_t::find_control(window_t window, u32 control) const {
  terminal_window_t* record = find(window);
  if (!record) return nullptr;
  for (terminal_control_t& c : record->controls)
    if (c.id == control) return &c;
  return nullptr;
}

window_t terminal_ui_t::page() const {
  if (!frame_) return nullptr;
  for (const auto& [window, record] : windows_)
    if (record->parent == frame_ && record->visible) return window;
  return nullptr;
}

void terminal_ui_t::deliver(window_t window, u32 message, uptr wparam) {
  terminal_window_t* record = find(window);
  if (!record) return;
  dirty_ = true;
  record->proc(window, message, wparam, 0);
}

iptr terminal_ui_t::run_modal(u32 template_id, dialog_proc_t proc) {
  frame_ = create_window(nullptr, template_id, proc);
  if (!frame_) return -1;
  ended_ = false;
  find(frame_)->visible = true;
  deliver(frame_, message_init_dialog, 0);
  while (!ended_) turn();
  destroy_window(frame_);
  frame_ = nullptr;
  return end_code_;
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
  const terminal_window_t* shown = find(page());
  static const std::string no_caption;
  const terminal_window_t* frame = find(frame_);
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
  const terminal_window_t* shown = find(page());
  const terminal_window_t* frame = find(frame_);
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
  const terminal_control_t* c = find_control(page(), control);
  if (!c || !c->visible || !c->enabled ||
      (c->kind != control_kind_t::button && c->kind != control_kind_t::default_button))
    return;
  focus_ = control;
  deliver(page(), message_command, command_wparam(control));
}

void terminal_ui_t::open_list() {
  const terminal_control_t* list = list_of(find(page()));
  if (!list || !list->visible || !list->enabled || list->entries.empty()) return;
  focus_ = list->id;
  popup_ = {true, std::max(list->selection, 0)};
}

void terminal_ui_t::handle_list_key(const terminal_key_t& key) {
  const terminal_control_t* list = list_of(find(page()));
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
  const terminal_control_t* shown = list_of(find(page()));
  terminal_control_t* list = shown ? find_control(page(), shown->id) : nullptr;
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

void terminal_ui_t::end_dialog(window_t, iptr code) {
  ended_ = true;
  end_code_ = code;
}

window_t terminal_ui_t::create_child(window_t parent, u32 template_id, dialog_proc_t proc) {
  const window_t window = create_window(parent, template_id, proc);
  if (window) deliver(window, message_init_dialog, 0);
  return window;
}

void terminal_ui_t::destroy_window(window_t window) {
  std::lock_guard<std::mutex> hold(windows_lock_);
  windows_.erase(window);
  dirty_ = true;
}

void terminal_ui_t::show_window(window_t window, bool visible) {
  terminal_window_t* record = find(window);
  if (!record) return;
  record->visible = visible;
  dirty_ = true;
  if (visible) post_message(window, message_paint);
}

void terminal_ui_t::enable_window(window_t window, bool enabled) {
  if (terminal_window_t* record = find(window)) record->enabled = enabled;
}

void terminal_ui_t::set_focus(window_t window) {
  if (window == page()) focus_ = 0;
}

bool terminal_ui_t::has_control(window_t window, u32 control) { return find_control(window, control) != nullptr; }

bool terminal_ui_t::set_text(window_t window, u32 control, const string& text) {
  if (!is_convertible(text)) return false;
  dirty_ = true;
  if (control == 0) {
    terminal_window_t* record = find(window);
    if (record) record->caption = text.c_str();
    return record != nullptr;
  }
  terminal_control_t* c = find_control(window, control);
  if (c) c->text = text.c_str();
  return c != nullptr;
}

void terminal_ui_t::show_control(window_t window, u32 control, bool visible) {
  if (terminal_control_t* c = find_control(window, control)) c->visible = visible;
}

void terminal_ui_t::enable_control(window_t window, u32 control, bool enabled) {
  if (terminal_control_t* c = find_control(window, control)) c->enabled = enabled;
}

bool terminal_ui_t::control_usable(window_t window, u32 control) {
  const terminal_control_t* c = find_control(window, control);
  return c && c->visible && c->enabled;
}

u32 terminal_ui_t::progress_upper(window_t window, u32 control) {
  const terminal_control_t* c = find_control(window, control);
  return c ? c->upper : 0;
}

void terminal_ui_t::set_progress_range(window_t window, u32 control, u32 upper) {
  if (terminal_control_t* c = find_control(window, control)) c->upper = upper;
}

void terminal_ui_t::set_progress_position(window_t window, u32 control, u32 position) {
  if (terminal_control_t* c = find_control(window, control)) c->position = std::min(position, c->upper);
}

void terminal_ui_t::list_clear(window_t window, u32 control) {
  if (terminal_control_t* c = find_control(window, control)) {
    c->entries.clear();
    c->selection = -1;
  }
}

bool terminal_ui_t::list_add(window_t window, u32 control, const string& text, u32 item) {
  terminal_control_t* c = find_control(window, control);
  if (!c || !is_convertible(text)) return false;
  terminal_list_entry_t entry{text.c_str(), item};
  const auto place =
      std::upper_bound(c->entries.begin(), c->entries.end(), entry,
                       [](const terminal_list_entry_t& a, const terminal_list_entry_t& b) { return a.text < b.text; });
  c->entries.insert(place, entry);
  return true;
}

void terminal_ui_t::list_select_text(window_t window, u32 control, const string& text) {
  terminal_control_t* c = find_control(window, control);
  if (!c) return;
  c->selection = -1;
  for (u32 i = 0; i < c->entries.size(); ++i)
    if (strcasecmp(c->entries[i].text.c_str(), text.c_str()) == 0) {
      c->selection = static_cast<i32>(i);
      return;
    }
}

bool terminal_ui_t::list_selection(window_t window, u32 control, u32& item) {
  const terminal_control_t* c = find_control(window, control);
  if (!c || c->selection < 0) return false;
  item = c->entries[static_cast<u32>(c->selection)].item;
  return true;
}

// A terminal cell stands for one dialog unit: icons are shown as marks, not placed.
bool terminal_ui_t::dialog_point_to_pixels(window_t window, i32&, i32&) { return find(window) != nullptr; }

canvas_t terminal_ui_t::begin_paint(window_t window) {
  terminal_window_t* record = find(window);
  return record && record->visible ? record : nullptr;
}

void terminal_ui_t::draw_standard_icon(canvas_t canvas, standard_icon_t icon, i32, i32) {
  static_cast<terminal_window_t*>(canvas)->icon = icon == standard_icon_t::error ? icon_mark_t::error : icon_mark_t::warning;
  dirty_ = true;
}

bool terminal_ui_t::post_message(window_t window, u32 message) {
  std::lock_guard<std::mutex> hold(windows_lock_);
  if (windows_.find(window) == windows_.end()) return false;
  queue_.push({window, message});
  return true;
}

auto_ptr_t<ui_t> create_terminal_ui() {
  auto_ptr_t<terminal_ui_t> ui(new (std::nothrow) terminal_ui_t);
  if (!ui || !ui->start()) return auto_ptr_t<ui_t>();
  return auto_ptr_t<ui_t>(ui.release());
}

} // namespace orvo::ui
