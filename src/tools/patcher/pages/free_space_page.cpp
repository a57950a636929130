#include "ovcore/messages/messages.h"
#include "tools/patcher/application.h"
#include "tools/patcher/installation_discovery.h"
#include "tools/patcher/languages/placeholder.h"
#include "tools/patcher/pages/page_ids.h"
#include "tools/patcher/pages/page_texts.h"
#include "tools/patcher/pages/pages.h"
#include "tools/patcher/patcher_pool.h"
#include "tools/patcher/wizard/page_engine.h"

namespace orvo {

namespace {

constexpr u64 unknown_space = ~u64(0);
constexpr u64 megabyte = 1048576;

class required_megabytes_t final : public page_parameter_t {
public:
  explicit required_megabytes_t(u64 megabytes) : megabytes(megabytes) {}
  const u64 megabytes;
};

u64 query_required_space() {
  const u64 required = get_required_free_space();
  if (required == unknown_space) log_error("[ERR] Unable to determine the required space");
  else log_info("Required space: %I64u", required);
  return required;
}

u64 query_available_space() {
  const u64 available = application.query_available_space ? application.query_available_space(game_directory())
                                                          : unknown_space;
  if (available == unknown_space) log_error("[ERR] Unable to determine the available space");
  else log_info("Available space: %I64u", available);
  return available;
}

} // namespace

void run_free_space_check() {
  const u64 required = query_required_space();
  const u64 available = query_available_space();
  if (required == unknown_space || available == unknown_space) {
    log_warning("[WRN] Unable to determine required or available space, attempting to continue");
    go_to_page(page_patching, nullptr);
    return;
  }
  // Whole megabytes, strictly: exactly as many free as needed is not enough.
  const u64 needed_megabytes = required / megabyte + 1;
  if (needed_megabytes < available / megabyte) {
    log_info("Sufficient space available, continuing");
    go_to_page(page_patching, nullptr);
    return;
  }
  log_info("Insufficient space available");
  go_to_page(page_insufficient_space, new required_megabytes_t(needed_megabytes));
}

void free_space_init(ui::window_t window, page_parameter_t* parameter) {
  const u64 megabytes = parameter ? static_cast<required_megabytes_t*>(parameter)->megabytes : 0;
  string_dyn_t value;
  value.format("%I64u", megabytes);
  string_dyn_t text(page_text(key_insufficient_space));
  substitute_placeholder(text, placeholder_space, value);
  set_control_text(window, control_page_text, text);
  set_control_text(window, command_next_page, key_button_continue_anyway);
  set_control_text(window, command_previous_page, key_button_retry);
  set_control_text(window, command_exit, key_button_exit);
}

void free_space_retest(ui::window_t, page_parameter_t*) { run_free_space_check(); }

} // namespace orvo
