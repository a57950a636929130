#include "ovcore/messages/messages.h"
#include "ovcore/ufs/file_system.h"
#include "tools/patcher/application.h"
#include "tools/patcher/installation_discovery.h"
#include "tools/patcher/languages/language_directory.h"
#include "tools/patcher/languages/placeholder.h"
#include "tools/patcher/pages/page_ids.h"
#include "tools/patcher/pages/page_texts.h"
#include "tools/patcher/pages/pages.h"
#include "tools/patcher/product_config.h"
#include "tools/patcher/wizard/page_engine.h"

namespace orvo {

namespace {

environment_refusals_t refusals;

void fill_language_list(ui::window_t window) {
  ui::ui_t& ui = wizard_ui();
  ui.list_clear(window, control_language_list);
  for (const language_entry_t& entry : language_directory)
    ui.list_add(window, control_language_list, find_language_record(entry.id)[key_language_name], entry.id);
  ui.list_select_text(window, control_language_list, page_text(key_language_name));
}

void exit_question(ui::window_t window, page_parameter_t*) {
  // Nobody is there to answer in automatic mode: a close request aborts.
  if (application.automatic_mode) {
    go_to_page(page_aborted, nullptr);
    return;
  }
  if (wizard_ui().ask_yes_no(window, page_text(key_exit_question), page_text(key_question_caption))) exit_wizard(0);
}

void set_welcome_texts(ui::window_t window) {
  ui::ui_t& ui = wizard_ui();
  string_dyn_t caption;
  caption.format("%s - %s %s", product_name, page_text(key_title_word), target_version);
  set_control_text(frame_window(), 0, caption);
  if (refusals.not_administrator) {
    set_control_text(window, control_page_text, key_no_privileges);
    ui.show_control(window, command_next_page, false);
  } else {
    page_info_t& info = get_page_info(page_welcome);
    set_handler(info.abort, exit_question);
    set_handler(info.exit, exit_question);
    if (refusals.another_instance) {
      set_control_text(window, control_page_text, key_another_instance);
      ui.show_control(window, command_next_page, false);
    } else {
      string_dyn_t text(page_text(key_welcome_text));
      substitute_placeholder(text, placeholder_version, target_version);
      set_control_text(window, control_page_text, text);
      ui.show_control(window, command_next_page, true);
    }
  }
  set_control_text(window, command_exit, key_button_exit);
  set_control_text(window, command_next_page, key_button_continue);
}

bool is_directory(const string& path) {
  file_info_t info;
  return !path.empty() && stat_path(path, &info) && info.kind == file_kind_directory;
}

} // namespace

void welcome_init(ui::window_t window, page_parameter_t*) {
  refusals = examine_environment();
  fill_language_list(window);
  set_welcome_texts(window);
}

void welcome_next(ui::window_t, page_parameter_t*) {
  if (!is_directory(game_directory())) {
    go_to_page(page_not_found, nullptr);
  } else if (is_steam_installation()) {
    log_info("Steam version is not supported");
    go_to_page(page_unsupported_steam, nullptr);
  } else {
    go_to_page(page_verification, nullptr);
  }
}

bool language_selection(ui::window_t window, page_parameter_t*, page_message_t* message) {
  if (message->message != ui::message_command || (message->wparam >> 16) != ui::notification_selection_accepted)
    return false;
  u32 language = 0;
  if (!wizard_ui().list_selection(window, control_language_list, language)) return true;
  application.current_language = language;
  log_info("Selected language: %x", language);
  set_welcome_texts(window);
  return true;
}

} // namespace orvo
