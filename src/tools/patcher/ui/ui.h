#pragma once
#include "ovcore/strings/strings.h"

namespace orvo::ui {

// A window of the front end; null is no window.
using window_t = void*;
// What a paint handler draws on, valid between begin_paint and end_paint.
using canvas_t = void*;
using iptr = std::intptr_t;

// Messages the front ends deliver to dialog procedures, numbered as their Win32 counterparts so
// that the Win32 front end passes them through unchanged.
enum : u32 {
  message_paint = 0x000F,
  message_init_dialog = 0x0110,
  message_command = 0x0111,
  message_progress = 0x8001,
  message_operation_ended = 0x8002,
};

// Command ids besides the buttons: Enter arrives as accept, the close box and Escape as cancel.
enum : u32 {
  command_accept = 1,
  command_cancel = 2,
  command_abort = 3,
};

// Notification (high 16 bits of a command's wparam) of a drop-down list whose selection was accepted.
inline constexpr u32 notification_selection_accepted = 9;

inline uptr command_wparam(u32 id, u32 notification = 0) { return (uptr(notification) << 16) | (id & 0xFFFF); }

// Handles one message; the result is that of a Win32 dialog procedure (non-zero: handled).
using dialog_proc_t = iptr (*)(window_t window, u32 message, uptr wparam, iptr lparam);

enum class standard_icon_t : u32 { error, warning };

// What the page engine needs of a windowing system. All calls but post_message come from the
// user-interface thread. Texts are UTF-8; a text that cannot be converted leaves the control as
// it was. Control 0 names the window itself (its caption).
class ui_t {
public:
  virtual ~ui_t() = default;

  // Creates the frame from its template, delivers message_init_dialog and runs the modal loop
  // until end_dialog; the result is end_dialog's code, -1 when the frame cannot be created.
  virtual iptr run_modal(u32 template_id, dialog_proc_t proc) = 0;
  virtual void end_dialog(window_t frame, iptr code) = 0;
  // A hidden modeless child dialog; null when it cannot be created.
  virtual window_t create_child(window_t parent, u32 template_id, dialog_proc_t proc) = 0;
  virtual void destroy_window(window_t window) = 0;
  virtual void show_window(window_t window, bool visible) = 0;
  // A disabled window and its children accept no keyboard or mouse input.
  virtual void enable_window(window_t window, bool enabled) = 0;
  virtual void set_focus(window_t window) = 0;

  virtual bool has_control(window_t window, u32 control) = 0;
  virtual bool set_text(window_t window, u32 control, const string& text) = 0;
  virtual void show_control(window_t window, u32 control, bool visible) = 0;
  virtual void enable_control(window_t window, u32 control, bool enabled) = 0;
  // Shown and enabled: a player can press it.
  virtual bool control_usable(window_t window, u32 control) = 0;

  virtual u32 progress_upper(window_t window, u32 control) = 0;
  virtual void set_progress_range(window_t window, u32 control, u32 upper) = 0;
  virtual void set_progress_position(window_t window, u32 control, u32 position) = 0;

  // The drop-down list: entries carry a 32-bit item value; the list keeps them sorted by text.
  virtual void list_clear(window_t window, u32 control) = 0;
  virtual bool list_add(window_t window, u32 control, const string& text, u32 item) = 0;
  // Selects the entry whose text equals text (case-insensitive); none when nothing matches.
  virtual void list_select_text(window_t window, u32 control, const string& text) = 0;
  // False when nothing is selected.
  virtual bool list_selection(window_t window, u32 control, u32& item) = 0;

  virtual void set_frame_icon(window_t frame, u32 icon_id) = 0;
  // Converts a point in dialog units of the window's template into pixels.
  virtual bool dialog_point_to_pixels(window_t window, i32& x, i32& y) = 0;
  // Null when the window needs no painting now.
  virtual canvas_t begin_paint(window_t window) = 0;
  virtual void end_paint(window_t window, canvas_t canvas) = 0;
  // Draws a 32 x 32 standard icon with its top-left corner at x, y.
  virtual void draw_standard_icon(canvas_t canvas, standard_icon_t icon, i32 x, i32 y) = 0;

  // A modal Yes/No question owned by owner; messages for other windows keep arriving while it
  // is open. True for Yes; false for No and when a text cannot be converted.
  virtual bool ask_yes_no(window_t owner, const string& text, const string& caption) = 0;

  // Queues a message for window from any thread; false when the window does not exist (any
  // more) or the queue refuses.
  virtual bool post_message(window_t window, u32 message) = 0;
};

} // namespace orvo::ui
