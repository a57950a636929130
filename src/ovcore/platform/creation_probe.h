#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

enum class creation_probe_t : u32 { created, access_denied, failed };

// Creates the file name inside directory anew (an existing file or link of that name is removed
// first, and a link is never followed), closes and deletes it. error receives the platform code.
creation_probe_t probe_file_creation(const string& directory, const string& name, u32& error);

} // namespace orvo
