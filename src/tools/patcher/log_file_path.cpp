#include "tools/patcher/log_file_path.h"

#include "tools/patcher/product_config.h"

#include "ovcore/platform/current_directory.h"
#include "ovcore/ufs/file_system.h"

#include <ctime>

namespace orvo {

bool format_log_file_name(mstring_t& out, i64 seconds) {
  return out.format("%s_patch_%.16I64X.log", product_abbreviation, seconds);
}

void build_log_file_path(mstring_t& out) {
  string_dyn_t folder;
  if (!get_temp_directory(folder) && !get_current_directory(folder)) folder.clear();
  if (folder.empty()) folder.set(".");
  string_dyn_t name;
  format_log_file_name(name, static_cast<i64>(std::time(nullptr)));
  join_path(out, folder, name);
}

} // namespace orvo
