#pragma once
#include "tools/patcher/ui/dialog_templates.h"
#include "tools/patcher/ui/ui.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvo::ui {

class headless_ui_t;

// Safe in a signal handler: the running loop closes its frame at its next turn.
void request_headless_close();

// Plays the user of a headless front end: a test script, or nobody in automatic mode.
class headless_driver_t {
public:
  virtual ~headless_driver_t() = default;
  // Nothing is waiting to be delivered; true when the driver acted (pressed, closed, selected).
  virtual bool on_idle(headless_ui_t& ui) = 0;
  // A question is open; the answer (true: Yes). The driver may deliver messages meanwhile.
  virtual bool on_question(headless_ui_t& ui, const string& text, const string& caption) = 0;
};

// A front end without a screen: windows are records built from the dialog templates, messages
// go through a queue, and a driver presses buttons and answers questions.
class headless_ui_t final : public ui_t {
public:
  struct list_entry_t {
    std::string text;
    u32 item;
  };
  struct control_t {
    u32 id = 0;
    control_kind_t kind = control_kind_t::static_text;
    std::string text;
    bool visible = true;
    bool enabled = true;
    u32 position = 0;
    u32 upper = 100;
    std::vector<list_entry_t> entries;
    i32 selection = -1;
  };
  struct icon_t {
    bool drawn = false;
    standard_icon_t icon = standard_icon_t::error;
    i32 x = 0, y = 0;
  };
  struct question_t {
    std::string text;
    std::string caption;
  };

  explicit headless_ui_t(headless_driver_t& driver);

  iptr run_modal(u32 template_id, dialog_proc_t proc) override;
  void end_dialog(window_t frame, iptr code) override;
  window_t create_child(window_t parent, u32 template_id, dialog_proc_t proc) override;
  void destroy_window(window_t window) override;
  void show_window(window_t window, bool visible) override;
  void enable_window(window_t window, bool enabled) override;
  void set_focus(window_t window) override {}
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
  void set_frame_icon(window_t frame, u32 icon_id) override { frame_icon_ = icon_id; }
  bool dialog_point_to_pixels(window_t window, i32& x, i32& y) override;
  canvas_t begin_paint(window_t window) override;
  void end_paint(window_t window, canvas_t canvas) override {}
  void draw_standard_icon(canvas_t canvas, standard_icon_t icon, i32 x, i32 y) override;
  bool ask_yes_no(window_t owner, const string& text, const string& caption) override;
  bool post_message(window_t window, u32 message) override;

  // What a driver sees and does. The page is the frame's visible child.
  window_t page() const;
  u32 page_template() const;
  std::string caption() const;
  // Null when the page has no such control.
  const control_t* control(u32 id) const;
  std::string text(u32 control_id) const;
  const icon_t& page_icon() const;
  u32 frame_icon() const { return frame_icon_; }
  bool frame_enabled() const;
  // A click: false when the page lacks the button or it is hidden or disabled, or input is off.
  bool press(u32 button);
  // The Enter key, when input is on.
  void enter();
  // The close box or Escape: reaches the frame even when it is disabled.
  void close();
  // Picks the list entry with this item and reports the accepted selection.
  bool select_list_item(u32 item);
  // Delivers one queued message, waiting up to timeout_ms for one; false when none came.
  bool deliver_next(u32 timeout_ms);
  // How many messages of this kind were delivered so far.
  u32 delivered(u32 message) const;
  const std::vector<question_t>& questions() const { return questions_; }
  bool ended() const { return ended_; }

private:
  struct window_record_t {
    u32 template_id = 0;
    dialog_proc_t proc = nullptr;
    window_t parent = nullptr;
    bool visible = false;
    bool enabled = true;
    std::string caption;
    std::vector<control_t> controls;
    icon_t icon;
  };
  struct posted_t {
    window_t window;
    u32 message;
  };

  window_t create_window(window_t parent, u32 template_id, dialog_proc_t proc);
  window_record_t* find(window_t window) const;
  control_t* find_control(window_t window, u32 control) const;
  void deliver(window_t window, u32 message, uptr wparam);
  bool take_posted(posted_t& out, u32 timeout_ms);

  headless_driver_t& driver_;
  std::map<window_t, std::unique_ptr<window_record_t>> windows_;
  uptr next_window_ = 1;
  window_t frame_ = nullptr;
  u32 frame_icon_ = 0;
  bool ended_ = false;
  iptr end_code_ = 0;
  std::vector<question_t> questions_;
  std::map<u32, u32> delivered_;
  // Guards the queue and which windows exist, for posting threads.
  mutable std::mutex queue_lock_;
  std::condition_variable queue_signal_;
  std::deque<posted_t> queue_;
};

} // namespace orvo::ui
