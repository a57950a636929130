#include "ovcore/platform/process_exit.h"

#include <windows.h>

#include <cstdlib>

namespace orvo::platform {

void terminate_abnormally() {
  RaiseException(0xC0000025, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  std::abort();
}

} // namespace orvo::platform
