#include "patch/installation_layout.h"

#include "ovcore/crypto/file_hash.h"
#include "ovcore/messages/messages.h"
#include "ovcore/ufs/file_system.h"

#include <cstring>

namespace orvo::patch {

namespace {

void append_paths(array_t<layout_path_t>& out, const layout_record_t& layout) {
  out.append_block_copy_or_abort(layout.paths);
}

bool ends_with(const char* text, u32 length, const char* suffix) {
  const u32 suffix_length = static_cast<u32>(std::strlen(suffix));
  return length >= suffix_length && std::memcmp(text + length - suffix_length, suffix, suffix_length) == 0;
}

// Archives "dlc_*.ktl", compared case-sensitively.
bool is_dlc_archive(const directory_entry_t& entry) {
  const char* name = entry.name.c_str();
  const u32 length = entry.name.length();
  return entry.kind == file_kind_file && length >= 4 && ends_with(name, length, ".ktl") &&
         std::strncmp(name, "dlc_", 4) == 0;
}

analyze_patch_result_t add_configuration_layout(array_t<layout_path_t>& out, const container_pool_t& pool,
                                                const string& directory) {
  string_dyn_t path;
  join_path(path, directory, configuration_archive_name);
  file_info_t info;
  if (!stat_path(path, &info) || info.kind != file_kind_file) return analyze_patch_result_t::ok;
  auto_ptr_t<file_t> file = open_file_read(path);
  if (!file) return analyze_patch_result_t::file_open_failed;
  content_hash_t digest;
  if (compute_file_hash(digest, *file, nullptr, nullptr) != 0) return analyze_patch_result_t::read_error;
  string_dyn_t name;
  name.format("%s_cfg", game_short_name);
  if (const layout_record_t* layout = pool.find_layout(name.c_str(), &digest)) append_paths(out, *layout);
  return analyze_patch_result_t::ok;
}

void add_dlc_layouts(array_t<layout_path_t>& out, const container_pool_t& pool, const string& directory) {
  directory_list_t entries;
  if (!list_directory(entries, directory, false)) return;
  for (const directory_entry_t& entry : entries) {
    if (!is_dlc_archive(entry)) continue;
    string_dyn_t stem;
    get_file_stem(entry.name, &stem);
    string_dyn_t name;
    name.format("%s.%s", game_short_name, stem.c_str());
    const layout_record_t* layout = pool.find_layout(name.c_str(), nullptr);
    if (layout) append_paths(out, *layout);
    else log_warning("[WRN] Unknown DLC '%s'", stem.c_str());
  }
}

} // namespace

analyze_patch_result_t build_layout(array_t<layout_path_t>& out, const container_pool_t& pool,
                                    const string& directory) {
  const layout_record_t* base = pool.find_layout(game_short_name, nullptr);
  if (!base) return analyze_patch_result_t::internal_error;
  append_paths(out, *base);
  const analyze_patch_result_t configuration = add_configuration_layout(out, pool, directory);
  if (configuration != analyze_patch_result_t::ok) return configuration;
  add_dlc_layouts(out, pool, directory);
  return analyze_patch_result_t::ok;
}

} // namespace orvo::patch
