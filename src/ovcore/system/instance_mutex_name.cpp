#include "ovcore/system/instance_mutex.h"

namespace orvo {

bool format_instance_mutex_name(mstring_t& out, const string& name) {
  return out.format("Local\\ktl.107DB1FD-EEF4-4819-992F-93FC949C5C79.%s", name.c_str());
}

} // namespace orvo
