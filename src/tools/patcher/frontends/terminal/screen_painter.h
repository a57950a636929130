#pragma once
#include "tools/patcher/ui/record_ui.h"

#include <string>

namespace orvo::ui {

// The open language list: which entry the highlight is on.
struct list_popup_t {
  bool open = false;
  i32 highlighted = 0;
};

struct question_view_t {
  std::string text;
  std::string caption;
  bool yes_focused = true;
};

// Everything one paint shows; pointers may be null (no page, no question).
struct screen_view_t {
  const std::string& caption;
  const window_record_t* page;
  u32 focus;
  const list_popup_t& popup;
  const question_view_t* question;
};

// Draws the whole screen for its current size: caption line, page texts and progress bars,
// the language list and buttons at the bottom, then the open list or question on top.
void paint_screen(const screen_view_t& view);

} // namespace orvo::ui
