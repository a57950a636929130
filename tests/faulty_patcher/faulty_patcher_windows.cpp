// The Windows updater with a broken disk in front of the file layer, so that the screenshots can
// show the failure pages a real disk rarely produces. Not shipped.
//   ORVO_FAULT      open_for_reading|create|read|write|move|delete_file:PATH-SUFFIX[:SUCCESSES]
//   ORVO_PROGRAM    the updater whose resources (pages, icon, container) it uses
#include "patcher_tests/faulty_device.h"

#include "ovcore/system/runtime.h"
#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"
#include "tools/patcher/embedded_container.h"
#include "tools/patcher/frontends/win32/win32_ui.h"
#include "tools/patcher/patcher_main.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

using orvo::wizard::fault_plan_t;
using orvo::wizard::fault_t;

orvo::auto_ptr_t<orvo::ui::ui_t> create_ui(void* module_instance, bool) {
  return orvo::create_win32_ui(module_instance);
}

bool parse_fault(const std::string& text, fault_plan_t& plan) {
  static const struct {
    const char* name;
    fault_t fault;
  } kinds[] = {{"open_for_reading", fault_t::open_for_reading}, {"create", fault_t::create}, {"read", fault_t::read},
               {"write", fault_t::write}, {"move", fault_t::move}, {"delete_file", fault_t::delete_file}};
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  for (const auto& kind : kinds)
    if (text.compare(0, colon, kind.name) == 0) plan.fault = kind.fault;
  if (plan.fault == fault_t::none) return false;
  const size_t second = text.find(':', colon + 1);
  plan.path_suffix = text.substr(colon + 1, second == std::string::npos ? std::string::npos : second - colon - 1);
  if (second != std::string::npos) plan.successes_before = static_cast<unsigned>(std::strtoul(text.c_str() + second + 1, nullptr, 10));
  return true;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  fault_plan_t plan;
  const char* fault = std::getenv("ORVO_FAULT");
  if (fault && !parse_fault(fault, plan)) return 2;
  const wchar_t* program = _wgetenv(L"ORVO_PROGRAM");
  HMODULE resources = program ? LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr;
  if (!resources) return 2;
  orvo::patcher_platform_t platform;
  platform.create_ui = create_ui;
  platform.find_container = orvo::find_embedded_container;
  platform.query_available_space = orvo::get_available_space;
  orvo::runtime_startup();
  orvo::wizard::faulty_device_t device(*orvo::real_native_device(), plan);
  orvo::set_device_in_front(&device);
  const int exit_code =
      orvo::patcher_main(resources, reinterpret_cast<const orvo::wchar16_t*>(command_line), platform);
  orvo::set_device_in_front(nullptr);
  orvo::runtime_shutdown();
  return exit_code;
}
