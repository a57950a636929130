#pragma once
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/progress/task_progress.h"
#include "ovcore/strings/strings.h"
#include "tools/patcher/ui/ui.h"

namespace orvo {

// Data a page receives from whoever pushed it; owned by its stack entry.
class page_parameter_t {
public:
  virtual ~page_parameter_t() = default;
};

// A message offered to a page's custom-message handler; result is returned when it handles it.
struct page_message_t {
  u32 message = 0;
  u32 wparam = 0;
  i32 lparam = 0;
  i32 result = 0;
};

// A page handler: a stored plain function behind a virtual call.
template <typename R, typename... A>
class page_callable_t {
public:
  using function_t = R (*)(A...);
  explicit page_callable_t(function_t function) : function_(function) {}
  virtual ~page_callable_t() = default;
  virtual R invoke(A... arguments) const { return function_(arguments...); }

private:
  function_t function_;
};

using page_handler_t = page_callable_t<void, ui::window_t, page_parameter_t*>;
using page_message_handler_t = page_callable_t<bool, ui::window_t, page_parameter_t*, page_message_t*>;
using page_progress_handler_t = page_callable_t<void, ui::window_t, page_parameter_t*, const task_progress_t*>;
using page_paint_handler_t = page_callable_t<void, ui::window_t, page_parameter_t*, ui::canvas_t>;

enum : u32 {
  automatic_none = 0,
  automatic_run_handler = 1,
  automatic_exit = 2,
};

// Everything the engine knows of one page; slots may be empty.
struct page_info_t {
  u32 dialog_id = 0;
  string_dyn_t name;
  auto_ptr_t<page_handler_t> init;
  auto_ptr_t<page_handler_t> show;
  auto_ptr_t<page_handler_t> leave;
  auto_ptr_t<page_handler_t> after_hide;
  auto_ptr_t<page_handler_t> next;
  auto_ptr_t<page_handler_t> previous;
  auto_ptr_t<page_handler_t> abort;
  auto_ptr_t<page_handler_t> exit;
  auto_ptr_t<page_handler_t> operation_ended;
  auto_ptr_t<page_message_handler_t> custom_message;
  auto_ptr_t<page_progress_handler_t> progress;
  auto_ptr_t<page_paint_handler_t> paint;
  u32 next_page = 0;
  u32 automatic_action = automatic_none;
  auto_ptr_t<page_handler_t> automatic;
  i32 exit_code = 0;
};

// Fills a slot with a handler of function, or empties it for null.
template <typename H>
void set_handler(auto_ptr_t<H>& slot, typename H::function_t function) {
  slot.reset(function ? new H(function) : nullptr);
}

struct page_stack_entry_t {
  u32 page_id = 0;
  auto_ptr_t<page_parameter_t> parameter;
};

} // namespace orvo
