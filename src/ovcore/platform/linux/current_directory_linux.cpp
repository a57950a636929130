#include "ovcore/platform/current_directory.h"

#include <cstdlib>
#include <unistd.h>

namespace orvo {

bool get_current_directory(mstring_t& out) {
  char* directory = getcwd(nullptr, 0);
  if (!directory) return false;
  const bool ok = out.set(directory);
  std::free(directory);
  if (!ok) out.clear();
  return ok;
}

} // namespace orvo
