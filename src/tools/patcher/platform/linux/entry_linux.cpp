#include "ovcore/system/runtime.h"
#include "ovcore/strings/text_encoding.h"
#include "tools/patcher/argv_command_line.h"
#include "tools/patcher/patcher_main.h"

int main(int argc, char** argv) {
  using namespace orvo;
  string_dyn_t text;
  array_dyn_t<wchar16_t> command_line;
  if (!build_command_line(text, argc - 1, argv + 1) || !utf8_to_utf16(command_line, text)) {
    // Not valid UTF-8: hand over an unconvertible line, so options are ignored as on Windows.
    command_line.clear();
    command_line.push(0xDC00);
    command_line.push(0);
  }
  runtime_startup();
  const int exit_code = patcher_main(nullptr, command_line.data());
  runtime_shutdown();
  return exit_code;
}
