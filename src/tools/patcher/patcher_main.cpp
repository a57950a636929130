#include "tools/patcher/patcher_main.h"

#include "ovcore/messages/log_file.h"
#include "ovcore/messages/messages.h"
#include "ovcore/system/environment.h"
#include "ovcore/system/ui_language.h"
#include "ovcore/strings/text_encoding.h"
#include "patch/file_transactions.h"
#include "tools/patcher/application.h"
#include "tools/patcher/command_line.h"
#include "tools/patcher/log_file_path.h"
#include "tools/patcher/product_config.h"
#include "tools/patcher/system_report.h"

namespace orvo {

application_t application;

namespace {

// Converts and parses the command line; false when it is rejected.
bool apply_command_line(const wchar16_t* command_line, bool& transactions_allowed) {
  string_dyn_t text;
  if (!utf16_to_utf8(text, command_line, command_line_max_units)) return true;
  command_line_options_t options;
  if (!parse_command_line(text.c_str(), options)) return false;
  application.automatic_mode = options.automatic_mode;
  application.external_app_dir = options.external_app_dir;
  transactions_allowed = options.transactions_allowed;
  return true;
}

} // namespace

i32 patcher_main(void* module_instance, const wchar16_t* command_line) {
  application.module_instance = module_instance;
  build_log_file_path(application.log_file_path);
  log_file_t log_file(application.log_file_path);
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
  log_info("Cleanup");
  patch::clear_transaction_entry_points();
  return 0;
}

} // namespace orvo
