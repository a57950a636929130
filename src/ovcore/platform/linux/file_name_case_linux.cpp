#include "ovcore/platform/file_name_case.h"

namespace orvo::platform {

bool file_names_ignore_case() { return false; }

} // namespace orvo::platform
