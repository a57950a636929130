#pragma once
#include "tools/patcher/ui/record_ui.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
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
class headless_ui_t final : public record_ui_t {
public:
  using control_t = record_control_t;
  using icon_t = window_icon_t;
  struct question_t {
    std::string text;
    std::string caption;
  };

  explicit headless_ui_t(headless_driver_t& driver);

  iptr run_modal(u32 template_id, dialog_proc_t proc) override;
  void set_focus(window_t) override {}
  void set_frame_icon(window_t, u32 icon_id) override { frame_icon_ = icon_id; }
  bool dialog_point_to_pixels(window_t window, i32& x, i32& y) override;
  bool ask_yes_no(window_t owner, const string& text, const string& caption) override;

  // What a driver sees and does. The page is the frame's visible child.
  using record_ui_t::page;
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
  struct posted_t {
    window_t window;
    u32 message;
  };

  void delivering(u32 message) override { ++delivered_[message]; }
  void queue_posted(window_t window, u32 message) override;
  bool take_posted(posted_t& out, u32 timeout_ms);

  headless_driver_t& driver_;
  u32 frame_icon_ = 0;
  std::vector<question_t> questions_;
  std::map<u32, u32> delivered_;
  std::mutex queue_lock_;
  std::condition_variable queue_signal_;
  std::deque<posted_t> queue_;
};

} // namespace orvo::ui
