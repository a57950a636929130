#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/crypto/content_hash.h"
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/strings/strings.h"
#include "ovcore/ufs/fs_file.h"

namespace orvo::patch {

// What the update does with one file; values are fixed.
enum class patch_action_t : u32 {
  unchanged = 0,
  delete_file = 1,  // "delete"
  set_to_zero = 2,
  patch = 3,
};

// Required space not known.
inline constexpr u64 space_unknown = ~u64(0);

// The analysis result for one layout entry, the whole input of patch application.
struct file_patching_info_t {
  // The installation directory joined with the layout path.
  string_dyn_t path;
  content_hash_t expected_hash = {};
  // For patch: the most temporary bytes the rebuild needs at one time.
  u64 required_space = space_unknown;
  patch_action_t action = patch_action_t::unchanged;
  // Diff ids to apply, first to last (patch only).
  array_dyn_t<content_hash_t> chain;
  // The installed file, kept open for patch so that the hashed content is what the first diff
  // reads; absent when the file is not installed.
  auto_ptr_t<file_t> source_file;
  auto_ptr_t<file_t> output_file;
};

using patching_infos_t = array_t<auto_ptr_t<file_patching_info_t>>;

// 10 MiB, plus 300 KiB per file that changes, plus each rebuild's required space; all ones when
// any of those is unknown or the sum does not fit.
u64 get_required_free_space(const patching_infos_t& infos);
// True when any file changes.
bool is_patch_necessary(const patching_infos_t& infos);

} // namespace orvo::patch
