#pragma once
#include "tools/patcher/ui/record_ui.h"

#include <string>
#include <vector>

namespace orvo::ui {

// Buttons a page shows, in template order (the order they are drawn and numbered in).
std::vector<u32> shown_buttons(const window_record_t& page);
// What Tab walks through: the language list, then the buttons that can be pressed.
std::vector<u32> focus_order(const window_record_t& page);
// Keeps focus when it can still be taken, else the default button, else the first in order; 0: none.
u32 settle_focus(const window_record_t& page, u32 focus);
// The neighbour of focus in Tab order, step +1 or -1, wrapping around.
u32 move_focus(const window_record_t& page, u32 focus, i32 step);
// The pressable button a key names: its digit in drawing order, or the first letter of its label.
u32 button_for_key(const window_record_t& page, wchar_t key);
const record_control_t* find_control(const window_record_t& page, u32 id);

} // namespace orvo::ui
