#include "patch/file_name_key.h"

#include "ovcore/platform/file_name_case.h"

namespace orvo::patch {

void file_name_key(mstring_t& out, const string& path) {
  out.set(path);
  if (!platform::file_names_ignore_case()) return;
  for (char* c = out.buffer(); *c; ++c)
    if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
}

} // namespace orvo::patch
