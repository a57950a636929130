#include "scale_records.h"

#include "ovcore/crypto/content_hash.h"

#include <cryptopp/sha.h>

#include <algorithm>
#include <iterator>

namespace orvo::bench {

namespace {

// Kinds of made-up digests; each kind is a space of its own.
enum digest_kind_t : u32 {
  kind_long_chain = 1,
  kind_short_chain = 2,
  kind_diff = 3,
  kind_content_key = 4,
  kind_unknown = 5,
};

constexpr u32 short_chain_steps[] = {1, 1, 2, 3};
constexpr u32 short_chain_pattern = sizeof short_chain_steps / sizeof short_chain_steps[0];
// Spreads the diffs a file patch names over all diffs.
constexpr u32 diff_stride = 7919;
constexpr u32 most_diffs_per_patch = 3;

digest_t made_up_digest(digest_kind_t kind, u32 a, u32 b) {
  const u32 words[3] = {kind, a, b};
  u8 bytes[sizeof words];
  for (u32 i = 0; i < 3; ++i)
    for (u32 k = 0; k < 4; ++k) bytes[4 * i + k] = static_cast<u8>(words[i] >> (8 * k));
  digest_t digest;
  CryptoPP::SHA256().CalculateDigest(digest.data(), bytes, sizeof bytes);
  return digest;
}

digest_t empty_content() {
  digest_t digest;
  std::copy(std::begin(empty_content_hash.bytes), std::end(empty_content_hash.bytes), digest.begin());
  return digest;
}

} // namespace

scale_records_t::scale_records_t(u32 record_count, const std::vector<digest_t>& installed)
    : record_count_(record_count), installed_count_(static_cast<u32>(installed.size())) {
  diff_ids_.reserve(record_count);
  for (u32 i = 0; i < record_count; ++i) diff_ids_.push_back(made_up_digest(kind_diff, i, 0));
  file_patches_.reserve(record_count);
  add_long_chains();
  add_empty_sources();
  add_short_chains(installed);
}

std::vector<publisher::aes_key_t> scale_records_t::content_keys() const {
  std::vector<publisher::aes_key_t> keys;
  keys.reserve(record_count_);
  for (u32 i = 0; i < record_count_; ++i) keys.push_back(made_up_digest(kind_content_key, i, 0));
  return keys;
}

digest_t scale_records_t::layout_target(u32 file) {
  return made_up_digest(kind_short_chain, file, short_chain_steps[file % short_chain_pattern]);
}

digest_t scale_records_t::unknown_version(u32 index) { return made_up_digest(kind_unknown, index, 0); }

digest_t scale_records_t::short_chain_version(const std::vector<digest_t>& installed, u32 chain, u32 step) {
  if (step == 0 && chain < installed.size()) return installed[chain];
  return made_up_digest(kind_short_chain, chain, step);
}

void scale_records_t::add_file_patch(const digest_t& source, const digest_t& target) {
  const u32 record = static_cast<u32>(file_patches_.size());
  planned_file_patch_t patch{source, target, {}};
  for (u32 k = 0; k <= record % most_diffs_per_patch; ++k)
    patch.diff_ids.push_back(diff_ids_[(record + k * diff_stride) % record_count_]);
  file_patches_.push_back(std::move(patch));
}

void scale_records_t::add_long_chains() {
  for (u32 chain = 0; chain < long_chain_count; ++chain) {
    long_chains_.push_back({static_cast<u32>(file_patches_.size()), long_chain_steps});
    for (u32 step = 0; step < long_chain_steps; ++step)
      add_file_patch(made_up_digest(kind_long_chain, chain, step), made_up_digest(kind_long_chain, chain, step + 1));
  }
}

void scale_records_t::add_empty_sources() {
  for (u32 file = 0; file < empty_source_count; ++file) add_file_patch(empty_content(), layout_target(file));
}

void scale_records_t::add_short_chains(const std::vector<digest_t>& installed) {
  for (u32 chain = 0; file_patches_.size() < record_count_; ++chain) {
    const u32 steps = short_chain_steps[chain % short_chain_pattern];
    const patch_chain_t planned = {static_cast<u32>(file_patches_.size()), steps};
    for (u32 step = 0; step < steps && file_patches_.size() < record_count_; ++step)
      add_file_patch(short_chain_version(installed, chain, step), short_chain_version(installed, chain, step + 1));
    if (file_patches_.size() - planned.first_record == steps) short_chains_.push_back(planned);
  }
}

} // namespace orvo::bench
