#pragma once
#include "tools/patcher/frontends/headless/headless_ui.h"

namespace orvo::ui {

// Nobody at the screen: the wizard runs by its automatic actions alone.
class automatic_driver_t final : public headless_driver_t {
public:
  bool on_idle(headless_ui_t&) override { return false; }
  bool on_question(headless_ui_t&, const string&, const string&) override { return false; }
};

} // namespace orvo::ui
