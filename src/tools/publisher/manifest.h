#pragma once
#include "tools/publisher/container_writer.h"
#include "tools/publisher/diff_chooser.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace orvo::publisher {

// A hash given literally or as the SHA-256 of a file (computed when packing).
struct hash_ref_t {
  content_hash_t value{};
  std::filesystem::path file;  // empty: `value` holds the hash
};

struct manifest_entry_t {
  u32 line = 0;
  std::string path;
  hash_ref_t hash;
};

struct manifest_layout_t {
  u32 line = 0;
  std::string name;
  std::array<u32, 4> version{};
  hash_ref_t match;
  std::vector<manifest_entry_t> entries;
};

struct manifest_key_t {
  u32 line = 0;
  std::string name;
  aes_key_t key{};
};

struct manifest_key_set_t {
  u32 line = 0;
  std::vector<std::string> names;
};

struct manifest_diff_t {
  u32 line = 0;
  std::string name;
  block_method_t method = block_method_t::copy;
  std::filesystem::path data;      // auto: the new version
  bool automatic = false;          // auto: the method is chosen by size when packing
  std::filesystem::path old_data;  // auto: the previous version; empty when there is none
  diff_methods_t methods;          // auto: the methods to choose from
  u32 preset = 6;
  bool has_output_size = false;  // delta: size=N
  u64 output_size = 0;
  std::filesystem::path target;  // delta: target=PATH, whose size is the output size
  std::string key;               // name of a content key, empty when unkeyed
  bool has_id = false;
  content_hash_t id{};
};

struct manifest_meta_t {
  u32 line = 0;
  content_hash_t id{};
  u64 data_size = 0;
  std::string key;
};

// A diff of a file patch: a diff of this manifest by name, or any diff id.
struct manifest_diff_ref_t {
  std::string name;  // empty: `id`
  content_hash_t id{};
};

struct manifest_patch_t {
  u32 line = 0;
  hash_ref_t source;
  hash_ref_t target;
  std::vector<manifest_diff_ref_t> diffs;
};

struct manifest_t {
  std::string name;  // for messages
  std::vector<manifest_layout_t> layouts;
  std::vector<manifest_key_t> keys;
  std::vector<manifest_key_set_t> key_sets;
  std::vector<manifest_diff_t> diffs;
  std::vector<manifest_meta_t> metas;
  std::vector<manifest_patch_t> patches;
};

// Parses manifest text; relative file names are taken relative to `base_dir`. Every error is
// logged with its line; false when there was any.
bool parse_manifest(std::istream& text, const std::string& name, const std::filesystem::path& base_dir,
                    manifest_t& out);
bool load_manifest(const std::filesystem::path& file, manifest_t& out);

} // namespace orvo::publisher
