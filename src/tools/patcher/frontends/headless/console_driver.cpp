#include "tools/patcher/frontends/headless/console_driver.h"

#include <cstdlib>

namespace orvo::ui {

namespace {

constexpr u32 buttons[] = {1000, 1001, 1002, 1003};
constexpr u32 texts[] = {1005, 1007};

bool is_button(const headless_ui_t::control_t* c) {
  return c && c->visible && c->enabled && c->kind != control_kind_t::static_text &&
         c->kind != control_kind_t::progress_bar && c->kind != control_kind_t::drop_down_list;
}

} // namespace

bool console_driver_t::read_line(std::string& out) {
  out.clear();
  std::fflush(output_);
  for (int c = std::fgetc(input_); c != EOF; c = std::fgetc(input_)) {
    if (c == '\n') return true;
    out.push_back(static_cast<char>(c));
  }
  return !out.empty();
}

void console_driver_t::show_page(headless_ui_t& ui) {
  std::fprintf(output_, "\n== %s ==\n", ui.caption().c_str());
  for (u32 id : texts) {
    const headless_ui_t::control_t* c = ui.control(id);
    if (c && c->kind == control_kind_t::static_text) std::fprintf(output_, "%s\n", c->text.c_str());
  }
  for (u32 id : buttons)
    if (is_button(ui.control(id))) std::fprintf(output_, "  [%u] %s\n", id - 999, ui.control(id)->text.c_str());
  if (const headless_ui_t::control_t* list = ui.control(1008)) {
    for (const record_list_entry_t& entry : list->entries)
      std::fprintf(output_, "  [L%x] %s\n", entry.item, entry.text.c_str());
  }
}

bool console_driver_t::on_idle(headless_ui_t& ui) {
  // A page with a working Abort button runs an operation: nothing to ask until it ends.
  if (!ui.page() || is_button(ui.control(1003))) return false;
  if (ui.page() != shown_page_) {
    show_page(ui);
    shown_page_ = ui.page();
  }
  std::fprintf(output_, "> ");
  std::string line;
  if (!read_line(line)) {
    ui.close();
    return true;
  }
  if (line.size() > 1 && (line[0] == 'L' || line[0] == 'l')) {
    shown_page_ = nullptr;
    return ui.select_list_item(static_cast<u32>(std::strtoul(line.c_str() + 1, nullptr, 16)));
  }
  const u32 choice = static_cast<u32>(std::strtoul(line.c_str(), nullptr, 10));
  return choice >= 1 && choice <= 4 && ui.press(999 + choice);
}

bool console_driver_t::on_question(headless_ui_t&, const string& text, const string& caption) {
  std::fprintf(output_, "\n%s: %s [y/N] ", caption.c_str(), text.c_str());
  std::string line;
  return read_line(line) && (line == "y" || line == "Y");
}

} // namespace orvo::ui
