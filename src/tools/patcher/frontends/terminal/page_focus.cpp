#include "tools/patcher/frontends/terminal/page_focus.h"

#include "tools/patcher/frontends/terminal/text_layout.h"

#include <algorithm>
#include <cwctype>

namespace orvo::ui {

namespace {

bool is_button(const record_control_t& c) {
  return c.kind == control_kind_t::button || c.kind == control_kind_t::default_button;
}

bool can_take_focus(const record_control_t& c) {
  return c.visible && c.enabled && (is_button(c) || c.kind == control_kind_t::drop_down_list);
}

bool is_pressable(const window_record_t& page, u32 id) {
  const record_control_t* c = find_control(page, id);
  return c && is_button(*c) && can_take_focus(*c);
}

} // namespace

const record_control_t* find_control(const window_record_t& page, u32 id) {
  for (const record_control_t& c : page.controls)
    if (c.id == id) return &c;
  return nullptr;
}

std::vector<u32> shown_buttons(const window_record_t& page) {
  std::vector<u32> ids;
  for (const record_control_t& c : page.controls)
    if (is_button(c) && c.visible) ids.push_back(c.id);
  return ids;
}

std::vector<u32> focus_order(const window_record_t& page) {
  std::vector<u32> ids;
  for (const record_control_t& c : page.controls)
    if (can_take_focus(c)) ids.push_back(c.id);
  return ids;
}

u32 settle_focus(const window_record_t& page, u32 focus) {
  const std::vector<u32> order = focus_order(page);
  if (std::find(order.begin(), order.end(), focus) != order.end()) return focus;
  for (const record_control_t& c : page.controls)
    if (c.kind == control_kind_t::default_button && can_take_focus(c)) return c.id;
  for (u32 id : order)
    if (is_pressable(page, id)) return id;
  return order.empty() ? 0 : order.front();
}

u32 move_focus(const window_record_t& page, u32 focus, i32 step) {
  const std::vector<u32> order = focus_order(page);
  if (order.empty()) return 0;
  const auto at = std::find(order.begin(), order.end(), focus);
  const i32 count = static_cast<i32>(order.size());
  const i32 index = at == order.end() ? 0 : static_cast<i32>(at - order.begin()) + step;
  return order[static_cast<u32>((index % count + count) % count)];
}

u32 button_for_key(const window_record_t& page, wchar_t key) {
  const std::vector<u32> buttons = shown_buttons(page);
  if (key >= L'1' && key <= L'9') {
    const u32 index = static_cast<u32>(key - L'1');
    return index < buttons.size() && is_pressable(page, buttons[index]) ? buttons[index] : 0;
  }
  for (u32 id : buttons) {
    const std::wstring label = to_wide(find_control(page, id)->text);
    if (!label.empty() && std::towlower(static_cast<wint_t>(label[0])) == std::towlower(static_cast<wint_t>(key)) &&
        is_pressable(page, id))
      return id;
  }
  return 0;
}

} // namespace orvo::ui
