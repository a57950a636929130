#include "ovcore/platform/process_exit.h"

#include <cstdlib>

namespace orvo::platform {

void terminate_abnormally() { std::abort(); }

} // namespace orvo::platform
