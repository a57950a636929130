#pragma once
#include "tools/publisher/container_writer.h"
#include "tools/publisher/progress_meter.h"
#include "tools/publisher/release_description.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace orvo::publisher {

struct version_file_t {
  u64 size = 0;
  content_hash_t hash{};
};

// The files of one version by relative path ('/' separators).
using version_tree_t = std::map<std::string, version_file_t>;

struct release_trees_t {
  version_tree_t target;
  std::vector<version_tree_t> older;  // in description order
};

// Lists and hashes every version's files (hashing on `threads` threads). Fails, logged, on a
// missing directory, an unreadable file, an entry that is neither file nor folder, or a path the
// updater's reader would refuse.
bool scan_release(const release_description_t& description, u32 threads, progress_meter_t& progress,
                  release_trees_t& out);

// One content of some version and every content the container turns into it.
struct release_target_t {
  content_hash_t content{};
  std::filesystem::path file;  // a file with this content
  u64 size = 0;
  bool from_empty = false;     // patched from nothing (absent or empty before)
  struct source_t {
    content_hash_t content{};
    std::filesystem::path file;
  };
  std::vector<source_t> sources;  // patched from these older contents
};

struct version_changes_t {
  u64 changed = 0;
  u64 added = 0;
  u64 removed = 0;
};

enum class release_chain_t {
  direct,   // every older content straight to the target content
  chained,  // each older content to the next version's content
};

struct release_plan_t {
  std::vector<layout_t> layouts;
  std::vector<release_target_t> targets;
  std::vector<version_changes_t> changes;  // per older version
  bool layouts_only = false;               // no patches: nothing to update from
};

// What the container holds: the target's layouts ("kora", a "kora_cfg" per configuration archive
// digest any version has, "kora.<dlc>"), with deletions and empty files unless `layouts_only`,
// and the file patches that lead every older version to the target. Fails, logged, on a version
// without changes and on a description that does not fit the versions.
bool plan_release(const release_description_t& description, const release_trees_t& trees, release_chain_t chain,
                  bool layouts_only, release_plan_t& out);

} // namespace orvo::publisher
