#include "tools/patcher/pages/page_ids.h"
#include "tools/patcher/pages/page_texts.h"
#include "tools/patcher/pages/pages.h"
#include "tools/patcher/pages/result_pages.h"
#include "tools/patcher/wizard/page_engine.h"

namespace orvo {

namespace {


constexpr language_key_t none = language_key_count;

} // namespace

const result_page_t result_pages[16] = {
    {page_finished, "Finished", 103, 0, {key_update_finished, none, none}, false},
    {page_already_patched, "Already patched", 103, 0, {key_already_up_to_date, none, none}, false},
    {page_insufficient_space, "Insufficient space", 109, 1, {none, none, none}, false},
    {page_unsupported_version, "Unsupported version", 110, 2, {key_unsupported_version, none, none}, true},
    {page_unsupported_steam, "Unsupported Steam", 110, 3, {key_steam_unsupported, none, none}, false},
    {page_aborted, "Aborted", 110, 4, {key_aborted_text, none, none}, false},
    {page_installer_corrupted, "Installer corrupted", 110, 5, {key_error_data_integrity, none, none}, true},
    {page_not_found, "Not found", 110, 6, {key_game_not_found, none, none}, true},
    {page_open_error, "Open error", 110, 7, {key_error_open_file, key_access_hint, key_files_not_modified}, true},
    {page_creation_error, "Creation error", 110, 8, {key_error_create_file, key_access_hint, key_files_not_modified}, true},
    {page_read_error, "Read error", 110, 9, {key_error_read_file, key_files_not_modified, none}, true},
    {page_write_error, "Write error", 110, 10, {key_error_write_file, key_files_not_modified, none}, true},
    {page_internal_error, "Internal error", 110, 12, {key_error_internal, key_files_not_modified, none}, true},
    {page_filesystem_error, "Filesystem error", 110, 11, {key_error_move_delete_file, key_access_hint, key_files_not_modified}, true},
    {page_critical_internal_error, "Critical internal error", 110, 15, {key_error_internal, key_installation_corrupted, none}, true},
    {page_critical_filesystem_error, "Critical filesystem error", 110, 14,
     {key_error_move_delete_file, key_access_hint, key_installation_corrupted}, true},
};

const result_page_t* find_result_page(u32 page_id) {
  for (const result_page_t& page : result_pages)
    if (page.id == page_id) return &page;
  return nullptr;
}

void compose_result_text(mstring_t& out, u32 page_id) {
  out.clear();
  const result_page_t* page = find_result_page(page_id);
  if (!page) return;
  for (language_key_t key : page->sentences) {
    if (key == none) break;
    if (!out.empty()) out.append(" ");
    out.append(page_text(key));
  }
  if (!page->points_to_log) return;
  string_dyn_t sentence;
  format_log_sentence(sentence);
  out.append("\n\n");
  out.append(sentence.c_str());
}

void result_init(ui::window_t window, page_parameter_t*) {
  string_dyn_t text;
  compose_result_text(text, current_page_id());
  set_control_text(window, control_page_text, text);
  set_control_text(window, command_exit, key_button_exit);
}

namespace {

void paint_icon(ui::window_t window, ui::canvas_t canvas, ui::standard_icon_t icon) {
  ui::ui_t& ui = wizard_ui();
  i32 x = 17, y = 7;
  if (ui.dialog_point_to_pixels(window, x, y)) x -= 16;
  else x = y = 1;
  ui.draw_standard_icon(canvas, icon, x, y);
}

} // namespace

void paint_error_icon(ui::window_t window, page_parameter_t*, ui::canvas_t canvas) {
  paint_icon(window, canvas, ui::standard_icon_t::error);
}

void paint_warning_icon(ui::window_t window, page_parameter_t*, ui::canvas_t canvas) {
  paint_icon(window, canvas, ui::standard_icon_t::warning);
}

} // namespace orvo
