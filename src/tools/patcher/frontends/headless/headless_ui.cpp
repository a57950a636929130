#include "tools/patcher/frontends/headless/headless_ui.h"

#include <chrono>

namespace orvo::ui {

namespace {

// Dialog base units of "MS Shell Dlg" 8 at 96 dots per inch.
constexpr i32 base_unit_x = 6;
constexpr i32 base_unit_y = 13;
constexpr u32 idle_wait_ms = 100;

std::atomic<bool> close_requested{false};

} // namespace

void request_headless_close() { close_requested = true; }

headless_ui_t::headless_ui_t(headless_driver_t& driver) : driver_(driver) {}

iptr headless_ui_t::run_modal(u32 template_id, dialog_proc_t proc) {
  if (!open_frame(template_id, proc)) return -1;
  while (!ended_) {
    if (close_requested.exchange(false)) {
      close();
      continue;
    }
    if (deliver_next(0)) continue;
    if (driver_.on_idle(*this)) continue;
    deliver_next(idle_wait_ms);
  }
  return close_frame();
}

bool headless_ui_t::dialog_point_to_pixels(window_t window, i32& x, i32& y) {
  if (!find(window)) return false;
  x = x * base_unit_x / 4;
  y = y * base_unit_y / 8;
  return true;
}

bool headless_ui_t::ask_yes_no(window_t, const string& text, const string& caption) {
  if (!is_convertible(text) || !is_convertible(caption)) return false;
  questions_.push_back({text.c_str(), caption.c_str()});
  return driver_.on_question(*this, text, caption);
}

void headless_ui_t::queue_posted(window_t window, u32 message) {
  {
    std::lock_guard<std::mutex> hold(queue_lock_);
    queue_.push_back({window, message});
  }
  queue_signal_.notify_one();
}

bool headless_ui_t::take_posted(posted_t& out, u32 timeout_ms) {
  std::unique_lock<std::mutex> hold(queue_lock_);
  if (queue_.empty() && timeout_ms != 0)
    queue_signal_.wait_for(hold, std::chrono::milliseconds(timeout_ms), [this] { return !queue_.empty(); });
  if (queue_.empty()) return false;
  out = queue_.front();
  queue_.pop_front();
  return true;
}

bool headless_ui_t::deliver_next(u32 timeout_ms) {
  posted_t posted;
  if (!take_posted(posted, timeout_ms)) return false;
  deliver(posted.window, posted.message, 0);
  return true;
}

u32 headless_ui_t::delivered(u32 message) const {
  const auto found = delivered_.find(message);
  return found == delivered_.end() ? 0 : found->second;
}

u32 headless_ui_t::page_template() const {
  const window_record_t* record = find(page());
  return record ? record->template_id : 0;
}

std::string headless_ui_t::caption() const {
  const window_record_t* record = find(frame_);
  return record ? record->caption : std::string();
}

const headless_ui_t::control_t* headless_ui_t::control(u32 id) const { return find_control(page(), id); }

std::string headless_ui_t::text(u32 control_id) const {
  const control_t* c = control(control_id);
  return c ? c->text : std::string();
}

const headless_ui_t::icon_t& headless_ui_t::page_icon() const {
  static const icon_t none;
  const window_record_t* record = find(page());
  return record ? record->icon : none;
}

bool headless_ui_t::frame_enabled() const {
  const window_record_t* record = find(frame_);
  return record && record->enabled;
}

bool headless_ui_t::press(u32 button) {
  const control_t* c = control(button);
  if (!c || c->kind == control_kind_t::static_text || !c->visible || !c->enabled || !frame_enabled()) return false;
  deliver(page(), message_command, command_wparam(button));
  return true;
}

void headless_ui_t::enter() {
  if (frame_ && frame_enabled()) deliver(frame_, message_command, command_wparam(command_accept));
}

void headless_ui_t::close() {
  if (frame_) deliver(frame_, message_command, command_wparam(command_cancel));
}

bool headless_ui_t::select_list_item(u32 item) {
  control_t* c = const_cast<control_t*>(control(1008));
  if (!c || !frame_enabled()) return false;
  for (u32 i = 0; i < c->entries.size(); ++i)
    if (c->entries[i].item == item) {
      c->selection = static_cast<i32>(i);
      deliver(page(), message_command, command_wparam(c->id, notification_selection_accepted));
      return true;
    }
  return false;
}

} // namespace orvo::ui
