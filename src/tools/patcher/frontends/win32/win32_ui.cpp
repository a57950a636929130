#include "tools/patcher/frontends/win32/win32_ui.h"

#include "tools/patcher/frontends/win32/dialog_thunk.h"
#include "tools/patcher/frontends/win32/wide_text.h"

#include <commctrl.h>

#include <new>

namespace orvo {

namespace {

constexpr int standard_icon_size = 32;

HWND window_handle(ui::window_t window) { return static_cast<HWND>(window); }

// Control 0 is the window itself.
HWND control_handle(ui::window_t window, u32 control) {
  return control == 0 ? window_handle(window) : GetDlgItem(window_handle(window), static_cast<int>(control));
}

LRESULT send_to_control(ui::window_t window, u32 control, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageW(control_handle(window, control), message, wparam, lparam);
}

// IDI_ERROR and IDI_WARNING are the system's OIC_HAND and OIC_WARNING images.
HICON load_system_icon(const wchar_t* id) {
  return static_cast<HICON>(
      LoadImageW(nullptr, id, IMAGE_ICON, standard_icon_size, standard_icon_size, LR_SHARED));
}

} // namespace

win32_ui_t::win32_ui_t(void* module_instance)
    : module_(static_cast<HINSTANCE>(module_instance)), error_icon_(load_system_icon(IDI_ERROR)),
      warning_icon_(load_system_icon(IDI_WARNING)) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
}

ui::iptr win32_ui_t::run_modal(u32 template_id, ui::dialog_proc_t proc) {
  return DialogBoxParamW(module_, MAKEINTRESOURCEW(template_id), nullptr, dialog_thunk, dialog_thunk_parameter(proc));
}

void win32_ui_t::end_dialog(ui::window_t frame, ui::iptr code) { EndDialog(window_handle(frame), code); }

ui::window_t win32_ui_t::create_child(ui::window_t parent, u32 template_id, ui::dialog_proc_t proc) {
  return CreateDialogParamW(module_, MAKEINTRESOURCEW(template_id), window_handle(parent), dialog_thunk,
                            dialog_thunk_parameter(proc));
}

void win32_ui_t::destroy_window(ui::window_t window) { DestroyWindow(window_handle(window)); }

void win32_ui_t::show_window(ui::window_t window, bool visible) {
  ShowWindow(window_handle(window), visible ? SW_SHOW : SW_HIDE);
}

void win32_ui_t::enable_window(ui::window_t window, bool enabled) { EnableWindow(window_handle(window), enabled); }

void win32_ui_t::set_focus(ui::window_t window) { SetFocus(window_handle(window)); }

bool win32_ui_t::has_control(ui::window_t window, u32 control) { return control_handle(window, control) != nullptr; }

bool win32_ui_t::set_text(ui::window_t window, u32 control, const string& text) {
  const wide_text_t wide(text);
  return wide.get() && SetWindowTextW(control_handle(window, control), wide.get());
}

void win32_ui_t::show_control(ui::window_t window, u32 control, bool visible) {
  ShowWindow(control_handle(window, control), visible ? SW_SHOW : SW_HIDE);
}

void win32_ui_t::enable_control(ui::window_t window, u32 control, bool enabled) {
  EnableWindow(control_handle(window, control), enabled);
}

bool win32_ui_t::control_usable(ui::window_t window, u32 control) {
  HWND handle = control_handle(window, control);
  return handle && IsWindowVisible(handle) && IsWindowEnabled(handle);
}

u32 win32_ui_t::progress_upper(ui::window_t window, u32 control) {
  return static_cast<u32>(send_to_control(window, control, PBM_GETRANGE, FALSE, 0));
}

void win32_ui_t::set_progress_range(ui::window_t window, u32 control, u32 upper) {
  send_to_control(window, control, PBM_SETRANGE32, 0, static_cast<LPARAM>(upper));
}

void win32_ui_t::set_progress_position(ui::window_t window, u32 control, u32 position) {
  send_to_control(window, control, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void win32_ui_t::list_clear(ui::window_t window, u32 control) {
  send_to_control(window, control, CB_RESETCONTENT, 0, 0);
}

bool win32_ui_t::list_add(ui::window_t window, u32 control, const string& text, u32 item) {
  const wide_text_t wide(text);
  if (!wide.get()) return false;
  const LRESULT index = send_to_control(window, control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.get()));
  if (index == CB_ERR || index == CB_ERRSPACE) return false;
  return send_to_control(window, control, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(item)) !=
         CB_ERR;
}

void win32_ui_t::list_select_text(ui::window_t window, u32 control, const string& text) {
  const wide_text_t wide(text);
  if (!wide.get()) return;
  const LRESULT index = send_to_control(window, control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(wide.get()));
  // CB_ERR (-1) clears the selection.
  send_to_control(window, control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool win32_ui_t::list_selection(ui::window_t window, u32 control, u32& item) {
  const LRESULT index = send_to_control(window, control, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return false;
  item = static_cast<u32>(send_to_control(window, control, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  return true;
}

void win32_ui_t::set_frame_icon(ui::window_t frame, u32 icon_id) {
  struct icon_kind_t {
    WPARAM kind;
    int width_metric, height_metric;
  };
  static constexpr icon_kind_t kinds[] = {{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}, {ICON_BIG, SM_CXICON, SM_CYICON}};
  for (const icon_kind_t& k : kinds) {
    const HANDLE icon = LoadImageW(module_, MAKEINTRESOURCEW(icon_id), IMAGE_ICON, GetSystemMetrics(k.width_metric),
                                   GetSystemMetrics(k.height_metric), LR_SHARED);
    if (icon) SendMessageW(window_handle(frame), WM_SETICON, k.kind, reinterpret_cast<LPARAM>(icon));
  }
}

bool win32_ui_t::dialog_point_to_pixels(ui::window_t window, i32& x, i32& y) {
  RECT point{x, y, x, y};
  if (!MapDialogRect(window_handle(window), &point)) return false;
  x = point.left;
  y = point.top;
  return true;
}

ui::canvas_t win32_ui_t::begin_paint(ui::window_t window) {
  paint_t paint{window_handle(window), {}};
  const HDC canvas = BeginPaint(paint.window, &paint.state);
  if (!canvas) return nullptr;
  if (!paints_.push(paint)) {
    EndPaint(paint.window, &paint.state);
    return nullptr;
  }
  return canvas;
}

void win32_ui_t::end_paint(ui::window_t window, ui::canvas_t canvas) {
  for (u32 i = paints_.size(); i-- > 0;) {
    const paint_t& paint = paints_[i];
    if (paint.window != window_handle(window) || paint.state.hdc != canvas) continue;
    EndPaint(paint.window, &paint.state);
    paints_.remove(i);
    return;
  }
}

void win32_ui_t::draw_standard_icon(ui::canvas_t canvas, ui::standard_icon_t icon, i32 x, i32 y) {
  const HICON image = icon == ui::standard_icon_t::error ? error_icon_ : warning_icon_;
  if (image)
    DrawIconEx(static_cast<HDC>(canvas), x, y, image, standard_icon_size, standard_icon_size, 0, nullptr, DI_NORMAL);
}

bool win32_ui_t::ask_yes_no(ui::window_t owner, const string& text, const string& caption) {
  const wide_text_t wide_text(text);
  const wide_text_t wide_caption(caption);
  if (!wide_text.get() || !wide_caption.get()) return false;
  return MessageBoxW(window_handle(owner), wide_text.get(), wide_caption.get(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool win32_ui_t::post_message(ui::window_t window, u32 message) {
  return PostMessageW(window_handle(window), message, 0, 0) != FALSE;
}

auto_ptr_t<ui::ui_t> create_win32_ui(void* module_instance) {
  return auto_ptr_t<ui::ui_t>(new (std::nothrow) win32_ui_t(module_instance));
}

} // namespace orvo
