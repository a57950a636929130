#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// Process-wide state of one run, alive for the whole run.
struct application_t {
  void* module_instance = nullptr;
  string_dyn_t log_file_path;
  u32 current_language = 0;
  bool automatic_mode = false;
  string_dyn_t external_app_dir;
};

extern application_t application;

} // namespace orvo
