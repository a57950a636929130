#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/memory/auto_ptr.h"
#include "tools/patcher/ui/ui.h"

#include <windows.h>

namespace orvo {

// The user interface on Win32: dialogs from the templates in the module's resources.
class win32_ui_t final : public ui::ui_t {
public:
  explicit win32_ui_t(void* module_instance);

  ui::iptr run_modal(u32 template_id, ui::dialog_proc_t proc) override;
  void end_dialog(ui::window_t frame, ui::iptr code) override;
  ui::window_t create_child(ui::window_t parent, u32 template_id, ui::dialog_proc_t proc) override;
  void destroy_window(ui::window_t window) override;
  void show_window(ui::window_t window, bool visible) override;
  void enable_window(ui::window_t window, bool enabled) override;
  void set_focus(ui::window_t window) override;

  bool has_control(ui::window_t window, u32 control) override;
  bool set_text(ui::window_t window, u32 control, const string& text) override;
  void show_control(ui::window_t window, u32 control, bool visible) override;
  void enable_control(ui::window_t window, u32 control, bool enabled) override;
  bool control_usable(ui::window_t window, u32 control) override;

  u32 progress_upper(ui::window_t window, u32 control) override;
  void set_progress_range(ui::window_t window, u32 control, u32 upper) override;
  void set_progress_position(ui::window_t window, u32 control, u32 position) override;

  void list_clear(ui::window_t window, u32 control) override;
  bool list_add(ui::window_t window, u32 control, const string& text, u32 item) override;
  void list_select_text(ui::window_t window, u32 control, const string& text) override;
  bool list_selection(ui::window_t window, u32 control, u32& item) override;

  void set_frame_icon(ui::window_t frame, u32 icon_id) override;
  bool dialog_point_to_pixels(ui::window_t window, i32& x, i32& y) override;
  ui::canvas_t begin_paint(ui::window_t window) override;
  void end_paint(ui::window_t window, ui::canvas_t canvas) override;
  void draw_standard_icon(ui::canvas_t canvas, ui::standard_icon_t icon, i32 x, i32 y) override;

  bool ask_yes_no(ui::window_t owner, const string& text, const string& caption) override;
  bool post_message(ui::window_t window, u32 message) override;

private:
  // A paint between begin_paint and end_paint; EndPaint needs BeginPaint's structure.
  struct paint_t {
    HWND window;
    PAINTSTRUCT state;
  };

  HINSTANCE module_;
  HICON error_icon_;
  HICON warning_icon_;
  array_dyn_t<paint_t> paints_;
};

// Null when out of memory.
auto_ptr_t<ui::ui_t> create_win32_ui(void* module_instance);

} // namespace orvo
