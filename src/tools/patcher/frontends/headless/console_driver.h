#pragma once
#include "tools/patcher/frontends/headless/headless_ui.h"

#include <cstdio>

namespace orvo::ui {

// A user at a plain console: each page that waits is printed with its buttons, and a line read
// from input picks one. The end of input closes the wizard.
class console_driver_t final : public headless_driver_t {
public:
  console_driver_t(std::FILE* input, std::FILE* output) : input_(input), output_(output) {}
  bool on_idle(headless_ui_t& ui) override;
  bool on_question(headless_ui_t& ui, const string& text, const string& caption) override;

private:
  bool read_line(std::string& out);
  void show_page(headless_ui_t& ui);

  std::FILE* input_;
  std::FILE* output_;
  window_t shown_page_ = nullptr;
};

} // namespace orvo::ui
