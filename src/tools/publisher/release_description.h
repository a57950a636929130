#pragma once
#include "ovcore/types.h"

#include <array>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace orvo::publisher {

struct release_version_t {
  u32 line = 0;
  std::string label;  // the target's version text, or an older version's label
  std::filesystem::path directory;
};

// Files of one layout besides the base one: a path, or a folder when it ends in '/'.
struct release_group_t {
  u32 line = 0;
  std::string layout;  // "kora_cfg", "kora.dlc_winter"
  std::vector<std::string> paths;
};

struct release_description_t {
  std::string name;  // for messages
  std::array<u32, 4> version{};
  release_version_t target;
  std::vector<release_version_t> older;  // oldest first
  std::filesystem::path key;             // empty: none given
  bool has_config = false;
  release_group_t config;
  std::vector<release_group_t> dlcs;
};

// Parses a release description; relative directories are taken relative to `base_dir`. Every
// error is logged with its line; false when there was any.
bool parse_release_description(std::istream& text, const std::string& name, const std::filesystem::path& base_dir,
                               release_description_t& out);
bool load_release_description(const std::filesystem::path& file, release_description_t& out);

} // namespace orvo::publisher
