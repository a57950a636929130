#pragma once
#include "tools/publisher/content_hash.h"

#include <vector>

namespace orvo::bench {

using digest_t = publisher::content_hash_t;

struct planned_file_patch_t {
  digest_t source;
  digest_t target;
  std::vector<digest_t> diff_ids;
};

// File patches in a row, each from the version the one before leads to.
struct patch_chain_t {
  u32 first_record;
  u32 steps;
};

// What a container of one scale holds besides its layouts: as many content keys, diffs and file
// patches as its record count. The file patches form a few long chains, rebuilds of some targets
// from the empty content and, in the rest, short chains of 1, 1, 2, 3 steps. Short chain i starts
// at installed file i's digest and ends at that file's layout target, so a container with enough
// records patches the whole installation.
class scale_records_t {
public:
  static constexpr u32 long_chain_count = 4;
  static constexpr u32 long_chain_steps = 64;
  static constexpr u32 empty_source_count = 64;
  static constexpr u32 fewest_records = long_chain_count * long_chain_steps + empty_source_count;

  // record_count is at least fewest_records.
  scale_records_t(u32 record_count, const std::vector<digest_t>& installed);

  u32 record_count() const { return record_count_; }
  const std::vector<digest_t>& diff_ids() const { return diff_ids_; }
  std::vector<publisher::aes_key_t> content_keys() const;
  const std::vector<planned_file_patch_t>& file_patches() const { return file_patches_; }
  const std::vector<patch_chain_t>& long_chains() const { return long_chains_; }
  // Only the chains that the record count left whole.
  const std::vector<patch_chain_t>& short_chains() const { return short_chains_; }
  // True when a short chain leads every installed file to its layout target.
  bool patches_installation() const { return short_chains_.size() >= installed_count_; }

  // Where file's short chain ends, whatever the record count.
  static digest_t layout_target(u32 file);
  // A digest that no record names.
  static digest_t unknown_version(u32 index);

private:
  static digest_t short_chain_version(const std::vector<digest_t>& installed, u32 chain, u32 step);
  void add_file_patch(const digest_t& source, const digest_t& target);
  void add_long_chains();
  void add_empty_sources();
  void add_short_chains(const std::vector<digest_t>& installed);

  u32 record_count_;
  u32 installed_count_;
  std::vector<digest_t> diff_ids_;
  std::vector<planned_file_patch_t> file_patches_;
  std::vector<patch_chain_t> long_chains_;
  std::vector<patch_chain_t> short_chains_;
};

} // namespace orvo::bench
