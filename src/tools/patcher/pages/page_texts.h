#pragma once
#include "tools/patcher/languages/language_record.h"
#include "tools/patcher/ui/ui.h"

namespace orvo {

// A text of the language in force.
const char* page_text(language_key_t key);

// Sets a control (0: the window's caption); a text the front end cannot convert leaves it as it was.
void set_control_text(ui::window_t window, u32 control, const string& text);
void set_control_text(ui::window_t window, u32 control, language_key_t key);

// The last sentence of the failure pages: where the log is, with '\' separators.
void format_log_sentence(mstring_t& out);

} // namespace orvo
