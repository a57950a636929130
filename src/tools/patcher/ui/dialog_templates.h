#pragma once
#include "ovcore/types.h"

namespace orvo::ui {

enum class control_kind_t : u32 { static_text, button, default_button, progress_bar, drop_down_list };

// One control of a dialog template, position and size in dialog units.
struct control_template_t {
  u32 id;
  control_kind_t kind;
  i32 x, y, width, height;
};

// The dialog templates of the updater (font "MS Shell Dlg" 8); the Windows resources hold the
// same, and front ends without resources build their windows from this table.
struct dialog_template_t {
  u32 id;
  i32 width, height;
  const control_template_t* controls;
  u32 control_count;
};

// Null for an unknown id.
const dialog_template_t* find_dialog_template(u32 id);

extern const dialog_template_t dialog_templates[7];

} // namespace orvo::ui
