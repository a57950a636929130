#pragma once
#include "tools/patcher/ui/dialog_templates.h"
#include "tools/patcher/ui/ui.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvo::ui {

struct record_list_entry_t {
  std::string text;
  u32 item;
};

// A control of a window record, built from its template row.
struct record_control_t {
  u32 id = 0;
  control_kind_t kind = control_kind_t::static_text;
  std::string text;
  bool visible = true;
  bool enabled = true;
  u32 position = 0;
  u32 upper = 100;
  std::vector<record_list_entry_t> entries;
  i32 selection = -1;
};

struct window_icon_t {
  bool drawn = false;
  standard_icon_t icon = standard_icon_t::error;
  i32 x = 0, y = 0;
};

// A frame or page: the state of its controls and whom its messages go to.
struct window_record_t {
  u32 template_id = 0;
  dialog_proc_t proc = nullptr;
  window_t parent = nullptr;
  bool visible = false;
  bool enabled = true;
  std::string caption;
  std::vector<record_control_t> controls;
  window_icon_t icon;
};

// The part of a front end without native windows: windows are records built from the dialog
// templates and the ui_t calls on them change those records. A front end adds its modal loop, its
// questions and the queue behind post_message.
class record_ui_t : public ui_t {
public:
  void end_dialog(window_t frame, iptr code) override;
  window_t create_child(window_t parent, u32 template_id, dialog_proc_t proc) override;
  void destroy_window(window_t window) override;
  void show_window(window_t window, bool visible) override;
  void enable_window(window_t window, bool enabled) override;
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
  canvas_t begin_paint(window_t window) override;
  void end_paint(window_t, canvas_t) override {}
  void draw_standard_icon(canvas_t canvas, standard_icon_t icon, i32 x, i32 y) override;
  bool post_message(window_t window, u32 message) override;

protected:
  // Creates the frame, shows it and delivers message_init_dialog; false when there is no template.
  bool open_frame(u32 template_id, dialog_proc_t proc);
  // Destroys the frame; the code end_dialog was given.
  iptr close_frame();
  window_record_t* find(window_t window) const;
  record_control_t* find_control(window_t window, u32 control) const;
  // The frame's visible child.
  window_t page() const;
  void deliver(window_t window, u32 message, uptr wparam);
  static bool is_convertible(const string& text);

  // Something a screen shows changed.
  virtual void changed() {}
  // A message is about to be delivered.
  virtual void delivering(u32 message) { (void)message; }
  // Queues a posted message; called with the window known to exist, from any thread.
  virtual void queue_posted(window_t window, u32 message) = 0;

  window_t frame_ = nullptr;
  bool ended_ = false;

private:
  window_t create_window(window_t parent, u32 template_id, dialog_proc_t proc);

  std::map<window_t, std::unique_ptr<window_record_t>> windows_;
  // Guards which windows exist, for posting threads.
  mutable std::mutex windows_lock_;
  uptr next_window_ = 1;
  iptr end_code_ = 0;
};

} // namespace orvo::ui
