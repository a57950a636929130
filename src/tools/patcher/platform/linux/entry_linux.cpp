#include "ovcore/system/runtime.h"
#include "ovcore/strings/text_encoding.h"
#include "ovcore/ufs/file_system.h"
#include "tools/patcher/argv_command_line.h"
#include "tools/patcher/frontends/headless/automatic_driver.h"
#include "tools/patcher/frontends/headless/console_driver.h"
#include "tools/patcher/frontends/terminal/terminal_ui.h"
#include "tools/patcher/patcher_main.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

using namespace orvo;

ui::automatic_driver_t automatic_driver;
ui::console_driver_t console_driver(stdin, stdout);

// A player at a terminal gets the full-screen wizard; pipes, files and automatic runs stay headless.
auto_ptr_t<ui::ui_t> create_ui(void*, bool automatic_mode) {
  if (!automatic_mode && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO))
    if (auto_ptr_t<ui::ui_t> terminal = ui::create_terminal_ui()) return terminal;
  return auto_ptr_t<ui::ui_t>(new ui::headless_ui_t(automatic_mode ? static_cast<ui::headless_driver_t&>(automatic_driver)
                                                                    : console_driver));
}

// A termination request reaches the wizard as a click on the close box.
void on_termination_signal(int) {
  ui::request_headless_close();
  ui::request_terminal_close();
}

} // namespace

int main(int argc, char** argv) {
  string_dyn_t text;
  array_dyn_t<wchar16_t> command_line;
  if (!build_command_line(text, argc - 1, argv + 1) || !utf8_to_utf16(command_line, text)) {
    // Not valid UTF-8: an unconvertible line, which the run rejects as on Windows.
    command_line.clear();
    command_line.push(0xDC00);
    command_line.push(0);
  }
  std::signal(SIGINT, on_termination_signal);
  std::signal(SIGTERM, on_termination_signal);
  patcher_platform_t platform;
  platform.create_ui = create_ui;
  platform.find_container = find_embedded_container;
  platform.query_available_space = get_available_space;
  runtime_startup();
  const int exit_code = patcher_main(nullptr, command_line.data(), platform);
  runtime_shutdown();
  return exit_code;
}
