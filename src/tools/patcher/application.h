#pragma once
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/strings/strings.h"
#include "tools/patcher/embedded_container.h"
#include "tools/patcher/ui/ui.h"

namespace orvo {

// Free bytes available to the user on the volume of a directory; all ones when unknown.
using query_available_space_t = u64 (*)(const string& directory);

// What the platform's entry point hands to the run.
struct patcher_platform_t {
  // The user interface of the run, made once the run mode is known.
  auto_ptr_t<ui::ui_t> (*create_ui)(void* module_instance, bool automatic_mode) = nullptr;
  find_embedded_container_t find_container = nullptr;
  query_available_space_t query_available_space = nullptr;
};

// Process-wide state of one run, alive for the whole run.
struct application_t {
  void* module_instance = nullptr;
  string_dyn_t log_file_path;
  u32 current_language = 0;
  bool automatic_mode = false;
  string_dyn_t external_app_dir;
  ui::ui_t* ui = nullptr;
  find_embedded_container_t find_container = nullptr;
  query_available_space_t query_available_space = nullptr;
};

extern application_t application;

} // namespace orvo
