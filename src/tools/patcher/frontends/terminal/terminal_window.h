#pragma once
#include "tools/patcher/ui/dialog_templates.h"
#include "tools/patcher/ui/ui.h"

#include <string>
#include <vector>

namespace orvo::ui {

struct terminal_list_entry_t {
  std::string text;
  u32 item;
};

// A control of a terminal window, built from its template row.
struct terminal_control_t {
  u32 id = 0;
  control_kind_t kind = control_kind_t::static_text;
  std::string text;
  bool visible = true;
  bool enabled = true;
  u32 position = 0;
  u32 upper = 100;
  std::vector<terminal_list_entry_t> entries;
  i32 selection = -1;
};

enum class icon_mark_t : u32 { none, error, warning };

// A frame or page: what the screen shows of it and whom its messages go to.
struct terminal_window_t {
  u32 template_id = 0;
  dialog_proc_t proc = nullptr;
  window_t parent = nullptr;
  bool visible = false;
  bool enabled = true;
  std::string caption;
  std::vector<terminal_control_t> controls;
  icon_mark_t icon = icon_mark_t::none;
};

} // namespace orvo::ui
