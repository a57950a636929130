#include "patch/analyze_patch.h"

#include "ovcore/messages/messages.h"
#include "ovcore/system/processors.h"
#include "patch/file_hash_prefetch.h"
#include "patch/file_name_key.h"
#include "patch/installation_layout.h"
#include "patch/installed_files.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace orvo::patch {

u32 analysis_hash_workers = 0;

namespace {

using result_t = analyze_patch_result_t;

// Hashing is disk- or memory-bound beyond a few threads.
constexpr u32 max_hash_workers = 8;

bool is_application_root(const layout_path_t& entry) { return std::memcmp(entry.root, "APPL", 4) == 0; }

u32 root_value(const layout_path_t& entry) {
  const u8* bytes = reinterpret_cast<const u8*>(entry.root);
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<u32>(bytes[3]) << 24;
}

bool is_installed(const array_t<string_dyn_t>& installed, const char* path) {
  const string_dyn_t* found = std::lower_bound(
      installed.begin(), installed.end(), path,
      [](const string_dyn_t& item, const char* wanted) { return std::strcmp(item.c_str(), wanted) < 0; });
  return found != installed.end() && std::strcmp(found->c_str(), path) == 0;
}

// For every entry, the index of the first entry that names the same file (its own when none).
bool find_first_naming(array_dyn_t<u32>& first, const array_t<layout_path_t>& layout) {
  array_dyn_t<string_dyn_t> keys;
  array_dyn_t<u32> order;
  if (!keys.resize(layout.size()) || !order.resize(layout.size()) || !first.resize(layout.size())) return false;
  for (u32 i = 0; i < layout.size(); ++i) {
    string_dyn_t path;
    path.set_from(0, layout[i].path, 0, static_cast<u32>(strnlen(layout[i].path, sizeof layout[i].path)));
    file_name_key(keys[i], path);
    order[i] = i;
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](u32 a, u32 b) { return std::strcmp(keys[a].c_str(), keys[b].c_str()) < 0; });
  for (u32 i = 0; i < order.size(); ++i) {
    const bool same = i > 0 && std::strcmp(keys[order[i]].c_str(), keys[order[i - 1]].c_str()) == 0;
    first[order[i]] = same ? first[order[i - 1]] : order[i];
  }
  return true;
}

u32 hash_worker_count() {
  if (analysis_hash_workers) return analysis_hash_workers;
  const u32 processors_count = processors().size();
  if (processors_count == 0) return 1;
  return processors_count < max_hash_workers ? processors_count : max_hash_workers;
}

u64 saturating_add(u64 a, u64 b) { return a > space_unknown - b ? space_unknown : a + b; }

// One run of analyze_patch.
class analysis_t {
public:
  analysis_t(patching_infos_t& results, const array_t<layout_path_t>& layout, const array_t<string_dyn_t>& installed,
             const container_pool_t& pool, const string& directory, progress_callback_t* callback)
      : results_(results), layout_(layout), installed_(installed), pool_(pool), directory_(directory),
        callback_(callback), prefetch_(hash_worker_count()) {}

  result_t run();

private:
  bool needs_hash(u32 index) const;
  bool queue_hashes();
  result_t analyze_entry(u32 index);
  result_t check_listed_before(u32 index, bool& listed);
  result_t present_digest(file_patching_info_t& info, const layout_path_t& entry, content_hash_t& digest);
  result_t find_chain(file_patching_info_t& info, const content_hash_t& present);
  result_t measure_chain(file_patching_info_t& info);
  void append(auto_ptr_t<file_patching_info_t>& info, const char* line);

  patching_infos_t& results_;
  const array_t<layout_path_t>& layout_;
  const array_t<string_dyn_t>& installed_;
  const container_pool_t& pool_;
  string directory_;
  progress_callback_t* callback_;
  task_progress_t progress_;
  array_dyn_t<u32> first_naming_;
  file_hash_prefetch_t prefetch_;
};

// The entries whose installed file is hashed, in the order the analysis takes them.
bool analysis_t::needs_hash(u32 index) const {
  const layout_path_t& entry = layout_[index];
  return is_application_root(entry) && first_naming_[index] == index && !(entry.hash == zero_content_hash) &&
         !(entry.hash == empty_content_hash) && is_installed(installed_, entry.path);
}

bool analysis_t::queue_hashes() {
  for (u32 i = 0; i < layout_.size(); ++i) {
    if (!needs_hash(i)) continue;
    string_dyn_t path;
    join_path(path, directory_, layout_[i].path);
    if (!prefetch_.queue(path)) return false;
  }
  prefetch_.start();
  return true;
}

result_t analysis_t::run() {
  log_info("Analyzing patch");
  progress_.stage_id = stage_analysis;
  progress_.step_count = layout_.size();
  if (!find_first_naming(first_naming_, layout_) || !queue_hashes()) {
    log_error("[ERR] Out of memory while analyzing");
    return result_t::internal_error;
  }
  for (u32 i = 0; i < layout_.size(); ++i) {
    progress_.step = i;
    const result_t result = analyze_entry(i);
    if (result != result_t::ok) return result;
  }
  task_progress_t final_report;
  final_report.step = final_report.step_count = layout_.size();
  if (!report_progress(callback_, final_report)) return result_t::aborted;
  log_info("Analysis completed");
  return result_t::ok;
}

void analysis_t::append(auto_ptr_t<file_patching_info_t>& info, const char* line) {
  results_.push_move(info);
  if (line) log_info("%s", line);
}

// A path that an earlier entry already names: the same target leaves nothing more to do, another
// target cannot be reconciled (both entries would rebuild and move the same file).
result_t analysis_t::check_listed_before(u32 index, bool& listed) {
  const u32 first = first_naming_[index];
  listed = first != index;
  if (!listed) return result_t::ok;
  const layout_path_t& entry = layout_[index];
  const layout_path_t& earlier = layout_[first];
  if (entry.hash == earlier.hash) {
    log_info("    Path listed before with the same target");
    return result_t::ok;
  }
  log_error("[ERR] Path '%s' listed twice with different targets %s and %s", entry.path, earlier.hash.text().c_str(),
            entry.hash.text().c_str());
  return result_t::internal_error;
}

result_t analysis_t::analyze_entry(u32 index) {
  const layout_path_t& entry = layout_[index];
  log_info("  File '%s' %s", entry.path, entry.hash.text().c_str());
  auto_ptr_t<file_patching_info_t> info(new (std::nothrow) file_patching_info_t);
  if (!info) return result_t::internal_error;
  join_path(info->path, directory_, entry.path);
  info->expected_hash = entry.hash;
  if (!is_application_root(entry)) {
    log_error("[ERR] Requested root %08x while only APPLICATION is supported", root_value(entry));
    return result_t::unsupported_root;
  }
  bool listed = false;
  const result_t before = check_listed_before(index, listed);
  if (before != result_t::ok) return before;
  if (listed) {
    append(info, "    Result: Unchanged");
    return result_t::ok;
  }
  if (entry.hash == zero_content_hash) {
    info->action = patch_action_t::delete_file;
    append(info, "    Result: Delete");
    return result_t::ok;
  }
  if (entry.hash == empty_content_hash) {
    info->action = patch_action_t::set_to_zero;
    append(info, "    Result: Set to zero");
    return result_t::ok;
  }
  content_hash_t present;
  const result_t hashed = present_digest(*info, entry, present);
  if (hashed != result_t::ok) return hashed;
  if (present == info->expected_hash) {
    info->source_file.reset();
    append(info, "    Result: Unchanged");
    return result_t::ok;
  }
  const result_t chain = find_chain(*info, present);
  if (chain != result_t::ok) return chain;
  const result_t measured = measure_chain(*info);
  if (measured != result_t::ok) return measured;
  info->action = patch_action_t::patch;
  append(info, nullptr);
  return result_t::ok;
}

// The digest of the installed content; a file that is not installed has the empty content.
result_t analysis_t::present_digest(file_patching_info_t& info, const layout_path_t& entry, content_hash_t& digest) {
  if (!is_installed(installed_, entry.path)) {
    digest = empty_content_hash;
    return result_t::ok;
  }
  switch (prefetch_.take(info.source_file, digest, callback_, progress_)) {
  case prefetch_hashed: return result_t::ok;
  case prefetch_open_failed:
    log_error("[ERR] Unable to open file '%s'", info.path.c_str());
    return result_t::file_open_failed;
  case prefetch_read_failed: return result_t::read_error;
  default: return result_t::aborted;
  }
}

result_t analysis_t::find_chain(file_patching_info_t& info, const content_hash_t& present) {
  const auto present_text = present.text();
  const auto expected_text = info.expected_hash.text();
  content_hash_t start;
  if (!pool_.find_patch_chain(info.chain, present, info.expected_hash, &start)) {
    log_error("[ERR] Unable to find patch chain between %s and %s", present_text.c_str(), expected_text.c_str());
    return result_t::diff_chain_missing;
  }
  if (info.chain.empty()) {
    log_error("[ERR] Empty chain between %s and %s", present_text.c_str(), expected_text.c_str());
    return result_t::diff_chain_missing;
  }
  log_info("    Result: Patch %s -> %s", present_text.c_str(), expected_text.c_str());
  // A chain that starts from the empty content rebuilds without reading the installed file.
  if (start == empty_content_hash) info.source_file.reset();
  return result_t::ok;
}

// The most temporary bytes at one time: step k's output exists beside step k-1's.
result_t analysis_t::measure_chain(file_patching_info_t& info) {
  info.required_space = 0;
  u64 previous = 0;
  for (const content_hash_t& diff_id : info.chain) {
    const auto id_text = diff_id.text();
    log_info("      %s", id_text.c_str());
    if (!pool_.has_diff_data(diff_id)) {
      log_error("[ERR] Patch %s not found", id_text.c_str());
      return result_t::diff_missing;
    }
    u64 size = space_unknown;
    switch (pool_.get_diff_output_size(size, diff_id)) {
    case diff_size_result_t::ok: break;
    case diff_size_result_t::not_found: log_error("[ERR] Inconsistent query result"); return result_t::internal_error;
    case diff_size_result_t::wrong_key: log_error("[ERR] Incorrect key provided"); return result_t::internal_error;
    case diff_size_result_t::no_key: log_error("[ERR] No key provided"); return result_t::internal_error;
    case diff_size_result_t::read_error: return result_t::read_error;
    default: return result_t::internal_error;
    }
    if (size == space_unknown) {
      log_error("[ERR] Unknown result size");
      return result_t::internal_error;
    }
    info.required_space = std::max(info.required_space, saturating_add(size, previous));
    previous = size;
  }
  return result_t::ok;
}

} // namespace

analyze_patch_result_t analyze_patch(patching_infos_t& results, const array_t<layout_path_t>& layout,
                                     const array_t<string_dyn_t>& installed, const container_pool_t& pool,
                                     const string& directory, progress_callback_t* callback) {
  analysis_t analysis(results, layout, installed, pool, directory, callback);
  return analysis.run();
}

analyze_patch_result_t analyze_installation(patching_infos_t& results, const container_pool_t& pool,
                                            const string& directory, progress_callback_t* callback) {
  array_dyn_t<layout_path_t> layout;
  const analyze_patch_result_t built = build_layout(layout, pool, directory);
  if (built != analyze_patch_result_t::ok) return built;
  array_dyn_t<string_dyn_t> installed;
  if (list_installed_files(installed, directory) != list_files_ok) return analyze_patch_result_t::file_open_failed;
  return analyze_patch(results, layout, installed, pool, directory, callback);
}

} // namespace orvo::patch
