#include "tools/patcher/frontends/headless/headless_ui.h"

#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/strings/text_encoding.h"

#include <algorithm>
#include <chrono>
#include <strings.h>

namespace orvo::ui {

namespace {

// Dialog base units of "MS Shell Dlg" 8 at 96 dots per inch.
constexpr i32 base_unit_x = 6;
constexpr i32 base_unit_y = 13;
constexpr u32 idle_wait_ms = 100;

std::atomic<bool> close_requested{false};

bool is_convertible(const string& text) {
  array_dyn_t<wchar16_t> wide;
  return utf8_to_utf16(wide, text);
}

} // namespace

void request_headless_close() { close_requested = true; }

headless_ui_t::headless_ui_t(headless_driver_t& driver) : driver_(driver) {}

window_t headless_ui_t::create_window(window_t parent, u32 template_id, dialog_proc_t proc) {
  const dialog_template_t* layout = find_dialog_template(template_id);
  if (!layout) return nullptr;
  auto record = std::make_unique<window_record_t>();
  record->template_id = template_id;
  record->proc = proc;
  record->parent = parent;
  for (u32 i = 0; i < layout->control_count; ++i) {
    control_t control;
    control.id = layout->controls[i].id;
    control.kind = layout->controls[i].kind;
    record->controls.push_back(control);
  }
  std::lock_guard<std::mutex> hold(queue_lock_);
  const window_t window = reinterpret_cast<window_t>(next_window_++);
  windows_[window] = std::move(record);
  return window;
}

headless_ui_t::window_record_t* headless_ui_t::find(window_t window) const {
  const auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : found->second.get();
}

headless_ui_t::control_t* headless_ui_t::find_control(window_t window, u32 control) const {
  window_record_t* record = find(window);
  if (!record) return nullptr;
  for (control_t& c : record->controls)
    if (c.id == control) return &c;
  return nullptr;
}

void headless_ui_t::deliver(window_t window, u32 message, uptr wparam) {
  window_record_t* record = find(window);
  if (!record) return;
  ++delivered_[message];
  record->proc(window, message, wparam, 0);
}

iptr headless_ui_t::run_modal(u32 template_id, dialog_proc_t proc) {
  frame_ = create_window(nullptr, template_id, proc);
  if (!frame_) return -1;
  ended_ = false;
  find(frame_)->visible = true;
  deliver(frame_, message_init_dialog, 0);
  while (!ended_) {
    if (close_requested.exchange(false)) {
      close();
      continue;
    }
    if (deliver_next(0)) continue;
    if (driver_.on_idle(*this)) continue;
    deliver_next(idle_wait_ms);
  }
  destroy_window(frame_);
  frame_ = nullptr;
  return end_code_;
}

void headless_ui_t::end_dialog(window_t, iptr code) {
  ended_ = true;
  end_code_ = code;
}

window_t headless_ui_t::create_child(window_t parent, u32 template_id, dialog_proc_t proc) {
  const window_t window = create_window(parent, template_id, proc);
  if (window) deliver(window, message_init_dialog, 0);
  return window;
}

void headless_ui_t::destroy_window(window_t window) {
  std::lock_guard<std::mutex> hold(queue_lock_);
  windows_.erase(window);
}

void headless_ui_t::show_window(window_t window, bool visible) {
  window_record_t* record = find(window);
  if (!record) return;
  record->visible = visible;
  if (visible) post_message(window, message_paint);
}

void headless_ui_t::enable_window(window_t window, bool enabled) {
  if (window_record_t* record = find(window)) record->enabled = enabled;
}

bool headless_ui_t::has_control(window_t window, u32 control) { return find_control(window, control) != nullptr; }

bool headless_ui_t::set_text(window_t window, u32 control, const string& text) {
  if (!is_convertible(text)) return false;
  if (control == 0) {
    window_record_t* record = find(window);
    if (record) record->caption = text.c_str();
    return record != nullptr;
  }
  control_t* c = find_control(window, control);
  if (c) c->text = text.c_str();
  return c != nullptr;
}

void headless_ui_t::show_control(window_t window, u32 control, bool visible) {
  if (control_t* c = find_control(window, control)) c->visible = visible;
}

void headless_ui_t::enable_control(window_t window, u32 control, bool enabled) {
  if (control_t* c = find_control(window, control)) c->enabled = enabled;
}

bool headless_ui_t::control_usable(window_t window, u32 control) {
  const control_t* c = find_control(window, control);
  return c && c->visible && c->enabled;
}

u32 headless_ui_t::progress_upper(window_t window, u32 control) {
  const control_t* c = find_control(window, control);
  return c ? c->upper : 0;
}

void headless_ui_t::set_progress_range(window_t window, u32 control, u32 upper) {
  if (control_t* c = find_control(window, control)) c->upper = upper;
}

void headless_ui_t::set_progress_position(window_t window, u32 control, u32 position) {
  if (control_t* c = find_control(window, control)) c->position = std::min(position, c->upper);
}

void headless_ui_t::list_clear(window_t window, u32 control) {
  if (control_t* c = find_control(window, control)) {
    c->entries.clear();
    c->selection = -1;
  }
}

bool headless_ui_t::list_add(window_t window, u32 control, const string& text, u32 item) {
  control_t* c = find_control(window, control);
  if (!c || !is_convertible(text)) return false;
  list_entry_t entry{text.c_str(), item};
  const auto place = std::upper_bound(c->entries.begin(), c->entries.end(), entry,
                                      [](const list_entry_t& a, const list_entry_t& b) { return a.text < b.text; });
  c->entries.insert(place, entry);
  return true;
}

void headless_ui_t::list_select_text(window_t window, u32 control, const string& text) {
  control_t* c = find_control(window, control);
  if (!c) return;
  c->selection = -1;
  for (u32 i = 0; i < c->entries.size(); ++i)
    if (strcasecmp(c->entries[i].text.c_str(), text.c_str()) == 0) {
      c->selection = static_cast<i32>(i);
      return;
    }
}

bool headless_ui_t::list_selection(window_t window, u32 control, u32& item) {
  const control_t* c = find_control(window, control);
  if (!c || c->selection < 0) return false;
  item = c->entries[static_cast<u32>(c->selection)].item;
  return true;
}

bool headless_ui_t::dialog_point_to_pixels(window_t window, i32& x, i32& y) {
  if (!find(window)) return false;
  x = x * base_unit_x / 4;
  y = y * base_unit_y / 8;
  return true;
}

canvas_t headless_ui_t::begin_paint(window_t window) {
  window_record_t* record = find(window);
  return record && record->visible ? record : nullptr;
}

void headless_ui_t::draw_standard_icon(canvas_t canvas, standard_icon_t icon, i32 x, i32 y) {
  static_cast<window_record_t*>(canvas)->icon = {true, icon, x, y};
}

bool headless_ui_t::ask_yes_no(window_t, const string& text, const string& caption) {
  if (!is_convertible(text) || !is_convertible(caption)) return false;
  questions_.push_back({text.c_str(), caption.c_str()});
  return driver_.on_question(*this, text, caption);
}

bool headless_ui_t::post_message(window_t window, u32 message) {
  {
    std::lock_guard<std::mutex> hold(queue_lock_);
    if (windows_.find(window) == windows_.end()) return false;
    queue_.push_back({window, message});
  }
  queue_signal_.notify_one();
  return true;
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

window_t headless_ui_t::page() const {
  for (const auto& [window, record] : windows_)
    if (record->parent == frame_ && frame_ && record->visible) return window;
  return nullptr;
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
