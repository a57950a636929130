#pragma once
#include "ovcore/memory/auto_ptr.h"
#include "tools/patcher/frontends/terminal/posted_queue.h"
#include "tools/patcher/frontends/terminal/screen_painter.h"
#include "tools/patcher/frontends/terminal/terminal_screen.h"
#include "tools/patcher/ui/record_ui.h"


namespace orvo::ui {

// Safe in a signal handler: the running loop closes its frame (or answers No) at its next turn.
void request_terminal_close();

// A front end on a text terminal through curses: the caption as a title line, the page's texts
// and progress bars, the language list and buttons worked with the keyboard, questions as boxes.
class terminal_ui_t final : public record_ui_t {
public:
  // Takes over the terminal; false (logged) when it cannot.
  bool start();

  iptr run_modal(u32 template_id, dialog_proc_t proc) override;
  void set_focus(window_t window) override;
  void set_frame_icon(window_t, u32) override {}
  bool dialog_point_to_pixels(window_t window, i32& x, i32& y) override;
  bool ask_yes_no(window_t owner, const string& text, const string& caption) override;

private:
  struct open_question_t {
    question_view_t view;
    bool answered = false;
    bool answer = false;
  };

  void changed() override { dirty_ = true; }
  void delivering(u32) override { dirty_ = true; }
  void queue_posted(window_t window, u32 message) override { queue_.push({window, message}); }
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
  bool dirty_ = true;
  u32 focus_ = 0;
  list_popup_t popup_;
  open_question_t* question_ = nullptr;
};

// The terminal front end, or null when the terminal cannot be driven.
auto_ptr_t<ui_t> create_terminal_ui();

} // namespace orvo::ui
