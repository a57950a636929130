#include "tools/patcher/patcher_main.h"

#include "ovcore/messages/log_file.h"
#include "ovcore/messages/messages.h"
#include "ovcore/system/environment.h"
#include "ovcore/system/ui_language.h"
#include "ovcore/strings/text_encoding.h"
#include "patch/file_transactions.h"
#include "tools/patcher/command_line.h"
#include "tools/patcher/installation_discovery.h"
#include "tools/patcher/log_file_path.h"
#include "tools/patcher/pages/pages.h"
#include "tools/patcher/patcher_pool.h"
#include "tools/patcher/product_config.h"
#include "tools/patcher/system_report.h"
#include "tools/patcher/wizard/page_engine.h"

namespace orvo {

application_t application;

namespace {

// Converts and parses the command line; false when it is rejected.
bool apply_command_line(const wchar16_t* command_line, bool& transactions_allowed) {
  string_dyn_t text;
  // Ignoring a line that cannot be read could update another directory than -appdir names.
  if (!utf16_to_utf8(text, command_line, command_line_max_units)) {
    log_info("[ERR] Unable to convert the command line");
    return false;
  }
  command_line_options_t options;
  if (!parse_command_line(text.c_str(), options)) return false;
  application.automatic_mode = options.automatic_mode;
  application.external_app_dir = options.external_app_dir;
  transactions_allowed = options.transactions_allowed;
  return true;
}

void start_run(void* module_instance, const patcher_platform_t& platform) {
  application.module_instance = module_instance;
  application.find_container = platform.find_container;
  application.query_available_space = platform.query_available_space;
  application.external_app_dir.clear();
  forget_game_directory();
}

i32 run_wizard_with_ui(const patcher_platform_t& platform) {
  auto_ptr_t<ui::ui_t> ui;
  if (platform.create_ui) ui = platform.create_ui(application.module_instance, application.automatic_mode);
  if (!ui) {
    log_error("[ERR] Unable to create the user interface");
    return -1;
  }
  application.ui = ui.get();
  register_pages();
  const i32 code = static_cast<i32>(run_wizard(*ui));
  application.ui = nullptr;
  return code;
}

void shut_down() {
  log_info("Cleanup");
  if (pool_operation_t* operation = current_operation()) operation->request_abort();
  operation_release();
  destroy_pool_state();
  patch::clear_transaction_entry_points();
}

} // namespace

i32 patcher_main(void* module_instance, const wchar16_t* command_line, const patcher_platform_t& platform) {
  start_run(module_instance, platform);
  build_log_file_path(application.log_file_path);
  log_file_t log_file(create_log_file(application.log_file_path));
  write_system_report();
  application.current_language = get_ui_language();
  log_info("Language autodetection: %x", application.current_language);
  log_info("Version: %s", target_version);
  application.automatic_mode = false;
  bool transactions_allowed = true;
  if (!apply_command_line(command_line, transactions_allowed)) return exit_code_rejected_command_line;
  if (environment_variable_exists(automatic_mode_variable)) application.automatic_mode = true;
  if (transactions_allowed) log_info("Transactions allowed, specify -notransactions to disable them.");
  if (application.automatic_mode) log_info("Automatic mode enabled.");
  if (transactions_allowed) patch::load_transaction_entry_points();
  else log_info("Patch library explicitly initialized without support for transactions");
  const i32 exit_code = run_wizard_with_ui(platform);
  shut_down();
  return exit_code;
}

} // namespace orvo
