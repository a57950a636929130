#pragma once
#include "tools/publisher/container_writer.h"

#include <filesystem>

namespace orvo::publisher {

// The block methods an automatic diff may choose from.
struct diff_methods_t {
  bool copy = true;
  bool lzma = true;
  bool delta = true;
};

struct diff_pair_t {
  std::filesystem::path old_file;  // empty: there is no previous version, so no delta
  std::filesystem::path new_file;
  diff_methods_t methods;
  u32 preset = 6;                  // LZM2 preset, also the delta's secondary compression
};

constexpr u64 no_candidate = ~u64(0);

struct diff_choice_t {
  diff_input_t input;  // ready for container_writer_t::add_diff
  u64 copy_size = no_candidate;  // payload size of each candidate tried
  u64 lzma_size = no_candidate;
  u64 delta_size = no_candidate;
};

// Builds the payload of each allowed method for turning the old file into the new one and keeps
// the smallest (on a tie the first of COPY, LZM2, XDLT). Encoded candidates are written to
// `work_prefix` + ".lzm2" / ".xdlt"; remove_diff_candidates() deletes them once the chosen one
// is stored.
bool choose_diff(const diff_pair_t& pair, const std::filesystem::path& work_prefix, diff_choice_t& out);
void remove_diff_candidates(const std::filesystem::path& work_prefix);

const char* block_method_name(block_method_t method);

} // namespace orvo::publisher
