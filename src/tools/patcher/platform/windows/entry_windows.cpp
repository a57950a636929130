#include "ovcore/system/runtime.h"
#include "ovcore/ufs/file_system.h"
#include "tools/patcher/frontends/win32/win32_ui.h"
#include "tools/patcher/patcher_main.h"

#include <windows.h>

namespace {

orvo::auto_ptr_t<orvo::ui::ui_t> create_ui(void* module_instance, bool) {
  return orvo::create_win32_ui(module_instance);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  orvo::patcher_platform_t platform;
  platform.create_ui = create_ui;
  platform.find_container = orvo::find_embedded_container;
  platform.query_available_space = orvo::get_available_space;
  orvo::runtime_startup();
  const int exit_code =
      orvo::patcher_main(instance, reinterpret_cast<const orvo::wchar16_t*>(command_line), platform);
  orvo::runtime_shutdown();
  return exit_code;
}
