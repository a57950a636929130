#include "ovcore/platform/environment.h"

#include <cstdlib>

namespace orvo {

bool environment_variable_exists(const char* name) { return std::getenv(name) != nullptr; }

} // namespace orvo
