#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/crypto/content_hash.h"
#include "ovcore/strings/strings.h"
#include "patch/layout_path.h"

namespace orvo::patch {

// One installation layout (a LAYO chunk).
struct layout_record_t {
  string_dyn_t name;
  // All zero in layouts that are looked up by name alone.
  content_hash_t match_hash = {};
  // Most significant first.
  u32 version[4] = {};
  array_dyn_t<layout_path_t> paths;
};

// The diffs that turn source content into target content, in order (an FPAT chunk).
struct file_patch_record_t {
  content_hash_t source = {};
  content_hash_t target = {};
  array_dyn_t<content_hash_t> diff_ids;
};

// Data offset of a diff that a META chunk declared without data.
constexpr u64 diff_offset_none = ~u64(0);

struct diff_info_t {
  bool keyed = false;
  // Absolute offset of the diff data in the container; diff_offset_none when declared only.
  u64 data_offset = diff_offset_none;
  u64 data_size = 0;
  // All zero when not keyed.
  content_hash_t key_id = {};
};

} // namespace orvo::patch
