#pragma once
#include "ovcore/types.h"

namespace orvo {

enum page_id_t : u32 {
  page_welcome = 1,
  page_verification = 2,
  page_analysis = 3,
  page_insufficient_space = 4,
  page_patching = 5,
  page_finished = 6,
  page_already_patched = 7,
  page_unsupported_version = 8,
  page_unsupported_steam = 9,
  page_aborted = 10,
  page_installer_corrupted = 11,
  page_not_found = 12,
  page_open_error = 13,
  page_creation_error = 14,
  page_read_error = 15,
  page_write_error = 16,
  page_internal_error = 17,
  page_filesystem_error = 18,
  page_critical_internal_error = 19,
  page_critical_filesystem_error = 20,
};

// Controls of the page templates.
enum : u32 {
  control_operation_text = 1005,
  control_lower_bar = 1006,
  control_page_text = 1007,
  control_upper_bar = 1007,
  control_language_list = 1008,
};

} // namespace orvo
