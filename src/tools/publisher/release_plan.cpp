#include "tools/publisher/release_plan.h"

#include "ovcore/messages/messages.h"
#include "patch/installation_layout.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/layout_path_rules.h"
#include "tools/publisher/ordered_jobs.h"

#include <algorithm>
#include <set>

namespace orvo::publisher {

namespace {

struct listed_file_t {
  version_tree_t* tree;
  std::string path;
  std::filesystem::path file;
  u64 size;
};

void version_error(const release_description_t& description, const release_version_t& version, const std::string& text) {
  log_error("[ERR] %s(%u): %s", description.name.c_str(), version.line, text.c_str());
}

bool list_version(const release_description_t& description, const release_version_t& version, version_tree_t& tree,
                  std::vector<listed_file_t>& out) {
  const std::string directory = path_text(version.directory);
  std::error_code error;
  if (!std::filesystem::is_directory(version.directory, error)) {
    version_error(description, version, "'" + directory + "' is not a directory");
    return false;
  }
  std::filesystem::recursive_directory_iterator entry(version.directory, error);
  for (; !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error)) {
    const std::u8string generic = entry->path().lexically_relative(version.directory).generic_u8string();
    const std::string path(generic.begin(), generic.end());
    if (entry->is_directory(error)) continue;
    if (!entry->is_regular_file(error)) {
      log_error("[ERR] '%s' in '%s' is neither a file nor a folder", path.c_str(), directory.c_str());
      return false;
    }
    if (const char* problem = layout_path_problem(path)) {
      log_error("[ERR] '%s' in '%s': the path %s", path.c_str(), directory.c_str(), problem);
      return false;
    }
    const u64 size = entry->file_size(error);
    if (error) break;
    out.push_back({&tree, path, entry->path(), size});
  }
  if (!error) return true;
  log_error("[ERR] Unable to list '%s': %s", directory.c_str(), error.message().c_str());
  return false;
}

bool same_files(const version_tree_t& a, const version_tree_t& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return x.first == y.first && x.second.hash == y.second.hash;
  });
}

bool group_has(const release_group_t& group, const std::string& path) {
  for (const std::string& listed : group.paths) {
    const bool folder = listed.back() == '/';
    if (folder ? path.compare(0, listed.size(), listed) == 0 : path == listed) return true;
  }
  return false;
}

class release_planner_t {
public:
  release_planner_t(const release_description_t& description, const release_trees_t& trees, release_plan_t& out)
      : description_(description), trees_(trees), out_(out) {}

  bool plan(release_chain_t chain, bool layouts_only);

private:
  void error(u32 line, const std::string& text) const;
  const std::string& layout_of(const std::string& path) const;
  bool check_versions();
  bool check_groups();
  bool configuration_variants(std::vector<content_hash_t>& out) const;
  void add_layouts(bool layouts_only, const std::vector<content_hash_t>& variants);
  void count_changes();
  void index_contents();
  void add_pair(const content_hash_t& from, const content_hash_t& to);
  void plan_direct();
  void plan_chained();

  const release_description_t& description_;
  const release_trees_t& trees_;
  release_plan_t& out_;
  const std::string base_layout_ = patch::game_short_name;
  std::map<content_hash_t, std::pair<std::filesystem::path, u64>> content_files_;
  std::map<content_hash_t, size_t> target_index_;
};

void release_planner_t::error(u32 line, const std::string& text) const {
  log_error("[ERR] %s(%u): %s", description_.name.c_str(), line, text.c_str());
}

const std::string& release_planner_t::layout_of(const std::string& path) const {
  for (const release_group_t& dlc : description_.dlcs)
    if (group_has(dlc, path)) return dlc.layout;
  if (description_.has_config && group_has(description_.config, path)) return description_.config.layout;
  return base_layout_;
}

bool release_planner_t::check_versions() {
  for (size_t i = 0; i < trees_.older.size(); ++i) {
    if (!same_files(trees_.older[i], trees_.target)) continue;
    const release_version_t& older = description_.older[i];
    error(older.line, "older version '" + older.label + "' has the same files as the target: nothing to update");
    return false;
  }
  return true;
}

// Every listed path must name some file, and every DLC archive must be in the target.
bool release_planner_t::check_groups() {
  std::vector<const release_group_t*> groups;
  if (description_.has_config) groups.push_back(&description_.config);
  for (const release_group_t& dlc : description_.dlcs) groups.push_back(&dlc);
  for (const release_group_t* group : groups) {
    for (const std::string& path : group->paths) {
      const release_group_t single = {group->line, group->layout, {path}};
      auto named = [&](const version_tree_t& tree) {
        return std::any_of(tree.begin(), tree.end(), [&](const auto& file) { return group_has(single, file.first); });
      };
      if (named(trees_.target) || std::any_of(trees_.older.begin(), trees_.older.end(), named)) continue;
      error(group->line, "'" + path + "' of layout " + group->layout + " names no file of any version");
      return false;
    }
  }
  for (const release_group_t& dlc : description_.dlcs) {
    if (trees_.target.count(dlc.paths.front())) continue;
    error(dlc.line, "the DLC archive '" + dlc.paths.front() + "' is not in the target version");
    return false;
  }
  return true;
}

// The digests of the configuration archive that any version has: the updater picks the
// configuration layout by the installed archive's digest.
bool release_planner_t::configuration_variants(std::vector<content_hash_t>& out) const {
  auto add = [&](const version_tree_t& tree) {
    const auto archive = tree.find(patch::configuration_archive_name);
    if (archive == tree.end()) return false;
    if (std::find(out.begin(), out.end(), archive->second.hash) == out.end()) out.push_back(archive->second.hash);
    return true;
  };
  for (size_t i = 0; i < trees_.older.size(); ++i) {
    if (add(trees_.older[i])) continue;
    log_warning("[WRN] Older version '%s' has no %s: the updater leaves its configuration files as they are",
                description_.older[i].label.c_str(), patch::configuration_archive_name);
  }
  add(trees_.target);
  if (!out.empty()) return true;
  error(description_.config.line, std::string("'config' is given but no version has ") + patch::configuration_archive_name);
  return false;
}

void release_planner_t::add_layouts(bool layouts_only, const std::vector<content_hash_t>& variants) {
  std::map<std::string, std::vector<layout_entry_t>> entries;
  for (const auto& [path, file] : trees_.target)
    if (!layouts_only || file.size) entries[layout_of(path)].push_back({path, file.hash});
  std::set<std::string> removed;
  for (const version_tree_t& older : trees_.older)
    for (const auto& file : older)
      if (!layouts_only && !trees_.target.count(file.first)) removed.insert(file.first);
  for (const std::string& path : removed) entries[layout_of(path)].push_back({path, {}});
  for (auto& [name, list] : entries)
    std::sort(list.begin(), list.end(), [](const layout_entry_t& a, const layout_entry_t& b) { return a.path < b.path; });

  auto add = [&](const std::string& name, const content_hash_t& match) {
    layout_t layout;
    layout.name = name;
    layout.version = description_.version;
    layout.match_hash = match;
    layout.entries = entries[name];
    out_.layouts.push_back(std::move(layout));
  };
  add(base_layout_, {});
  for (const content_hash_t& variant : variants) add(description_.config.layout, variant);
  for (const release_group_t& dlc : description_.dlcs) add(dlc.layout, {});
}

void release_planner_t::count_changes() {
  for (const version_tree_t& older : trees_.older) {
    version_changes_t changes;
    for (const auto& [path, file] : trees_.target) {
      const auto old = older.find(path);
      if (old == older.end()) ++changes.added;
      else if (old->second.hash != file.hash) ++changes.changed;
    }
    for (const auto& file : older)
      if (!trees_.target.count(file.first)) ++changes.removed;
    out_.changes.push_back(changes);
  }
}

// A file for every content, from the target where it has one.
void release_planner_t::index_contents() {
  auto add = [&](const release_version_t& version, const version_tree_t& tree) {
    for (const auto& [path, file] : tree)
      content_files_.emplace(file.hash, std::make_pair(version.directory / utf8_path(path), file.size));
  };
  add(description_.target, trees_.target);
  for (size_t i = 0; i < trees_.older.size(); ++i) add(description_.older[i], trees_.older[i]);
}

void release_planner_t::add_pair(const content_hash_t& from, const content_hash_t& to) {
  auto [found, added] = target_index_.emplace(to, out_.targets.size());
  if (added) {
    release_target_t target;
    target.content = to;
    target.file = content_files_.at(to).first;
    target.size = content_files_.at(to).second;
    out_.targets.push_back(std::move(target));
  }
  release_target_t& target = out_.targets[found->second];
  if (from == empty_content_hash()) {
    target.from_empty = true;
    return;
  }
  for (const release_target_t::source_t& source : target.sources)
    if (source.content == from) return;
  target.sources.push_back({from, content_files_.at(from).first});
}

// The content each older version has at a path: the empty content when the file is absent.
content_hash_t content_at(const version_tree_t& tree, const std::string& path) {
  const auto file = tree.find(path);
  return file == tree.end() ? empty_content_hash() : file->second.hash;
}

void release_planner_t::plan_direct() {
  for (const auto& [path, file] : trees_.target) {
    if (!file.size) continue;
    for (const version_tree_t& older : trees_.older) {
      const content_hash_t from = content_at(older, path);
      if (from != file.hash) add_pair(from, file.hash);
    }
  }
}

// Each older content leads to the next different content a later version has; a file that was
// absent or empty is made from nothing in one step.
void release_planner_t::plan_chained() {
  const content_hash_t empty = empty_content_hash();
  for (const auto& [path, file] : trees_.target) {
    if (!file.size) continue;
    std::vector<content_hash_t> contents;
    for (const version_tree_t& older : trees_.older) contents.push_back(content_at(older, path));
    contents.push_back(file.hash);
    for (size_t i = 0; i + 1 < contents.size(); ++i) {
      if (contents[i] == file.hash) continue;
      if (contents[i] == empty) {
        add_pair(empty, file.hash);
        continue;
      }
      size_t next = i + 1;
      while (contents[next] == empty || contents[next] == contents[i]) ++next;
      add_pair(contents[i], contents[next]);
    }
  }
}

bool release_planner_t::plan(release_chain_t chain, bool layouts_only) {
  out_ = release_plan_t();
  std::vector<content_hash_t> variants;
  if (!check_versions() || !check_groups()) return false;
  if (description_.has_config && !configuration_variants(variants)) return false;
  add_layouts(layouts_only, variants);
  count_changes();
  out_.layouts_only = layouts_only;
  if (layouts_only) return true;
  index_contents();
  if (chain == release_chain_t::direct) plan_direct();
  else plan_chained();
  return true;
}

} // namespace

bool scan_release(const release_description_t& description, u32 threads, progress_meter_t& progress,
                  release_trees_t& out) {
  out = release_trees_t();
  out.older.resize(description.older.size());
  std::vector<listed_file_t> files;
  if (!list_version(description, description.target, out.target, files)) return false;
  for (size_t i = 0; i < description.older.size(); ++i)
    if (!list_version(description, description.older[i], out.older[i], files)) return false;

  u64 total = 0;
  for (const listed_file_t& file : files) total += file.size;
  std::vector<content_hash_t> hashes(files.size());
  progress.start("hashing", total);
  const bool hashed = run_ordered_jobs(
      files.size(), threads, [&](u64 i) { return compute_file_hash(files[i].file, hashes[i]); },
      [&](u64 i) {
        (*files[i].tree)[files[i].path] = {files[i].size, hashes[i]};
        progress.advance(files[i].size);
        return true;
      });
  progress.finish();
  return hashed;
}

bool plan_release(const release_description_t& description, const release_trees_t& trees, release_chain_t chain,
                  bool layouts_only, release_plan_t& out) {
  return release_planner_t(description, trees, out).plan(chain, layouts_only);
}

} // namespace orvo::publisher
