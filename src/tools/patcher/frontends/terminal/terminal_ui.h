#pragma once
#include "ovcore/memory/auto_ptr.h"
#include "tools/patcher/frontends/terminal/posted_queue.h"
#include "tools/patcher/frontends/terminal/screen_painter.h"
#include "tools/patcher/frontends/terminal/terminal_screen.h"
#include "tools/patcher/frontends/terminal/terminal_window.h"

#include <map>
#include <memory>
#include <mutex>

namespace orvo::ui {

// Safe in a signal handler: the running loop closes its frame (or answers No) at its next turn.
void request_terminal_close();

// A front end on a text terminal through curses: the caption as a title line, the page's texts
// and progress bars, the language list and buttons worked with the keyboard, questions as boxes.
class terminal_ui_t final : public ui_t {
public:
  // Takes over the terminal; false (logged) when it cannot.
  bool start();

  iptr run_modal(u32 template_id, dialog_proc_t proc) override;
  void end_dialog(window_t frame, iptr code) override;
  window_t create_child(window_t parent, u32 template_id, dialog_proc_t proc) override;
  void destroy_window(window_t window) override;
  void show_window(window_t window, bool visible) override;
  void enable_window(window_t window, bool enabled) override;
  void set_focus(window_t window) override;
  bool has_control(window_t window, u32 control) override;
  bool set_text(window_t window, u32 control, const string& text) override;
  void show_control(window_t window, u32 control, bool visible) override;
  void enable_control(window_t window, u32 control, bool enabled) override;
  bool control_usable(window_t window, u32 control) override;
  u32 progress_upper(window_t window, u32 control) override;
  void set_progress_range(window_t window, u32 control, u32 upper) override;
  void set_progress_position(window_t window, u32 control, u32 position) override;
  void list_clear(window_t window, u32 control) override;
  bool list_add(window_t window, u32 control, const string& text, u32 item) override;
  void list_select_text(window_t window, u32 control, const string& text) override;
  bool list_selection(window_t window, u32 control, u32& item) override;
  void set_frame_icon(window_t, u32) override {}
  bool dialog_point_to_pixels(window_t window, i32& x, i32& y) override;
  canvas_t begin_paint(window_t window) override;
  void end_paint(window_t, canvas_t) override {}
  void draw_standard_icon(canvas_t canvas, standard_icon_t icon, i32 x, i32 y) override;
  bool ask_yes_no(window_t owner, const string& text, const string& caption) override;
  bool post_message(window_t window, u32 message) override;

private:
  struct open_question_t {
    question_view_t view;
    bool answered = false;
    bool answer = false;
  };

  window_t create_window(window_t parent, u32 template_id, dialog_proc_t proc);
  terminal_window_t* find(window_t window) const;
  terminal_control_t* find_control(window_t window, u32 control) const;
  window_t page() const;
  void deliver(window_t window, u32 message, uptr wparam);
  // One step of a modal loop: a close request, a posted message, a key, or a wait for them.
  void turn();
  void paint();
  void handle_page_key(const terminal_key_t& key);
  void handle_list_key(const terminal_key_t& key);
  void handle_question_key(const terminal_key_t& key);
  void press(u32 control);
  void open_list();
  void accept_list_entry();
  void close();
  void answer(bool yes);

  terminal_screen_t screen_;
  posted_queue_t queue_;
  std::map<window_t, std::unique_ptr<terminal_window_t>> windows_;
  // Guards which windows exist, for posting threads.
  mutable std::mutex windows_lock_;
  uptr next_window_ = 1;
  window_t frame_ = nullptr;
  bool ended_ = false;
  iptr end_code_ = 0;
  bool dirty_ = true;
  u32 focus_ = 0;
  list_popup_t popup_;
  open_question_t* question_ = nullptr;
};

// The terminal front end, or null when the terminal cannot be driven.
auto_ptr_t<ui_t> create_terminal_ui();

} // namespace orvo::ui
