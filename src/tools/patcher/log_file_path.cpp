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

namespace orvo {

namespace {

constexpr u32 max_log_name_suffix = 99;

bool exists(const string& path) {
  file_info_t info;
  return stat_path(path, &info);
}

} // namespace

auto_ptr_t<file_t> create_log_file(mstring_t& path) {
  const string_dyn_t base(path);
  const u32 stem_length = base.length() - 4;
  for (u32 suffix = 0; suffix <= max_log_name_suffix; ++suffix) {
    if (suffix > 0) {
      path.set_from(0, base, 0, stem_length);
      path.append_format("_%u.log", suffix);
    }
    auto_ptr_t<file_t> file = open_file_create_new(path);
    if (file || !exists(path)) return file;
  }
  return {};
}

} // namespace orvo
