#include "ovcore/system/runtime.h"
#include "tools/patcher/patcher_main.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  orvo::runtime_startup();
  const int exit_code = orvo::patcher_main(instance, reinterpret_cast<const orvo::wchar16_t*>(command_line));
  orvo::runtime_shutdown();
  return exit_code;
}
