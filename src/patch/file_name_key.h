#pragma once
#include "ovcore/strings/strings.h"

namespace orvo::patch {

// A path as the platform's file system compares names: ASCII case folded where names ignore
// case, unchanged elsewhere. Equal keys name the same file.
void file_name_key(mstring_t& out, const string& path);

} // namespace orvo::patch
