#include "tools/patcher/ui/record_ui.h"

#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/messages/messages.h"
#include "ovcore/strings/text_encoding.h"

#include <algorithm>
#include <strings.h>

namespace orvo::ui {

bool record_ui_t::is_convertible(const string& text) {
  array_dyn_t<wchar16_t> wide;
  return utf8_to_utf16(wide, text);
}

window_t record_ui_t::create_window(window_t parent, u32 template_id, dialog_proc_t proc) {
  const dialog_template_t* layout = find_dialog_template(template_id);
  if (!layout) {
    log_error("[ERR] No dialog template %u", template_id);
    return nullptr;
  }
  auto record = std::make_unique<window_record_t>();
  record->template_id = template_id;
  record->proc = proc;
  record->parent = parent;
  for (u32 i = 0; i < layout->control_count; ++i) {
    record_control_t control;
    control.id = layout->controls[i].id;
    control.kind = layout->controls[i].kind;
    record->controls.push_back(control);
  }
  std::lock_guard<std::mutex> hold(windows_lock_);
  const window_t window = reinterpret_cast<window_t>(next_window_++);
  windows_[window] = std::move(record);
  return window;
}

window_record_t* record_ui_t::find(window_t window) const {
  const auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : found->second.get();
}

record_control_t* record_ui_t::find_control(window_t window, u32 control) const {
  window_record_t* record = find(window);
  if (!record) return nullptr;
  for (record_control_t& c : record->controls)
    if (c.id == control) return &c;
  return nullptr;
}

window_t record_ui_t::page() const {
  if (!frame_) return nullptr;
  for (const auto& [window, record] : windows_)
    if (record->parent == frame_ && record->visible) return window;
  return nullptr;
}

void record_ui_t::deliver(window_t window, u32 message, uptr wparam) {
  window_record_t* record = find(window);
  if (!record) return;
  delivering(message);
  record->proc(window, message, wparam, 0);
}

bool record_ui_t::open_frame(u32 template_id, dialog_proc_t proc) {
  frame_ = create_window(nullptr, template_id, proc);
  if (!frame_) return false;
  ended_ = false;
  find(frame_)->visible = true;
  deliver(frame_, message_init_dialog, 0);
  return true;
}

iptr record_ui_t::close_frame() {
  destroy_window(frame_);
  frame_ = nullptr;
  return end_code_;
}

void record_ui_t::end_dialog(window_t, iptr code) {
  ended_ = true;
  end_code_ = code;
}

window_t record_ui_t::create_child(window_t parent, u32 template_id, dialog_proc_t proc) {
  const window_t window = create_window(parent, template_id, proc);
  if (window) deliver(window, message_init_dialog, 0);
  return window;
}

void record_ui_t::destroy_window(window_t window) {
  {
    std::lock_guard<std::mutex> hold(windows_lock_);
    windows_.erase(window);
  }
  changed();
}

void record_ui_t::show_window(window_t window, bool visible) {
  window_record_t* record = find(window);
  if (!record) return;
  record->visible = visible;
  changed();
  if (visible) post_message(window, message_paint);
}

void record_ui_t::enable_window(window_t window, bool enabled) {
  if (window_record_t* record = find(window)) record->enabled = enabled;
}

bool record_ui_t::has_control(window_t window, u32 control) { return find_control(window, control) != nullptr; }

bool record_ui_t::set_text(window_t window, u32 control, const string& text) {
  if (!is_convertible(text)) return false;
  changed();
  if (control == 0) {
    window_record_t* record = find(window);
    if (record) record->caption = text.c_str();
    return record != nullptr;
  }
  record_control_t* c = find_control(window, control);
  if (c) c->text = text.c_str();
  return c != nullptr;
}

void record_ui_t::show_control(window_t window, u32 control, bool visible) {
  if (record_control_t* c = find_control(window, control)) c->visible = visible;
}

void record_ui_t::enable_control(window_t window, u32 control, bool enabled) {
  if (record_control_t* c = find_control(window, control)) c->enabled = enabled;
}

bool record_ui_t::control_usable(window_t window, u32 control) {
  const record_control_t* c = find_control(window, control);
  return c && c->visible && c->enabled;
}

u32 record_ui_t::progress_upper(window_t window, u32 control) {
  const record_control_t* c = find_control(window, control);
  return c ? c->upper : 0;
}

void record_ui_t::set_progress_range(window_t window, u32 control, u32 upper) {
  if (record_control_t* c = find_control(window, control)) c->upper = upper;
}

void record_ui_t::set_progress_position(window_t window, u32 control, u32 position) {
  if (record_control_t* c = find_control(window, control)) c->position = std::min(position, c->upper);
}

void record_ui_t::list_clear(window_t window, u32 control) {
  if (record_control_t* c = find_control(window, control)) {
    c->entries.clear();
    c->selection = -1;
  }
}

bool record_ui_t::list_add(window_t window, u32 control, const string& text, u32 item) {
  record_control_t* c = find_control(window, control);
  if (!c || !is_convertible(text)) return false;
  record_list_entry_t entry{text.c_str(), item};
  const auto place =
      std::upper_bound(c->entries.begin(), c->entries.end(), entry,
                       [](const record_list_entry_t& a, const record_list_entry_t& b) { return a.text < b.text; });
  c->entries.insert(place, entry);
  return true;
}

void record_ui_t::list_select_text(window_t window, u32 control, const string& text) {
  record_control_t* c = find_control(window, control);
  if (!c) return;
  c->selection = -1;
  for (u32 i = 0; i < c->entries.size(); ++i)
    if (strcasecmp(c->entries[i].text.c_str(), text.c_str()) == 0) {
      c->selection = static_cast<i32>(i);
      return;
    }
}

bool record_ui_t::list_selection(window_t window, u32 control, u32& item) {
  const record_control_t* c = find_control(window, control);
  if (!c || c->selection < 0) return false;
  item = c->entries[static_cast<u32>(c->selection)].item;
  return true;
}

canvas_t record_ui_t::begin_paint(window_t window) {
  window_record_t* record = find(window);
  return record && record->visible ? record : nullptr;
}

void record_ui_t::draw_standard_icon(canvas_t canvas, standard_icon_t icon, i32 x, i32 y) {
  static_cast<window_record_t*>(canvas)->icon = {true, icon, x, y};
  changed();
}

bool record_ui_t::post_message(window_t window, u32 message) {
  std::lock_guard<std::mutex> hold(windows_lock_);
  if (windows_.find(window) == windows_.end()) return false;
  queue_posted(window, message);
  return true;
}

} // namespace orvo::ui
