#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/strings/strings.h"

namespace orvo::patch {

enum : u32 {
  list_files_ok = 0,
  list_files_directory_missing = 1,
  list_files_unlistable = 2,
  list_files_unknown_entry = 3,
};

// Every file below directory, as paths relative to it joined with '/', sorted by unsigned bytes.
// Links are followed, but a directory reached a second time (a link to an ancestor, two names
// for one folder) is not entered again. Returns a list_files_* value.
u32 list_installed_files(array_t<string_dyn_t>& out, const string& directory);

} // namespace orvo::patch
