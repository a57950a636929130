#pragma once

namespace orvo::platform {

// True where the file system treats names that differ only in ASCII case as one name.
bool file_names_ignore_case();

} // namespace orvo::platform
