#include "tools/patcher/pages/page_texts.h"

#include "tools/patcher/application.h"
#include "tools/patcher/languages/language_directory.h"
#include "tools/patcher/languages/placeholder.h"
#include "tools/patcher/wizard/page_engine.h"

namespace orvo {

const char* page_text(language_key_t key) { return find_language_record(application.current_language)[key]; }

void set_control_text(ui::window_t window, u32 control, const string& text) {
  wizard_ui().set_text(window, control, text);
}

void set_control_text(ui::window_t window, u32 control, language_key_t key) {
  set_control_text(window, control, page_text(key));
}

void format_log_sentence(mstring_t& out) {
  string_dyn_t path(application.log_file_path);
  path.replace_char('/', '\\');
  out.set(page_text(key_log_hint));
  substitute_placeholder(out, placeholder_log_file, path);
}

} // namespace orvo
