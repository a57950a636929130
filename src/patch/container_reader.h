#pragma once
#include "ovcore/crypto/key_id.h"
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/progress/task_progress.h"
#include "ovcore/ufs/fs_file.h"
#include "patch/block_header.h"
#include "patch/container_open_result.h"
#include "patch/container_records.h"
#include "patch/diff_size_result.h"
#include "patch/extract_diff_result.h"
#include "patch/byte_key_map.h"

namespace orvo::patch {

// One signed patch container: header and signature checked at open, then a directory of its
// layouts, file patches, content keys and diffs. Only diff data is read after the open.
class container_reader_t {
public:
  container_reader_t() = default;
  container_reader_t(const container_reader_t&) = delete;
  container_reader_t& operator=(const container_reader_t&) = delete;

  // Takes the file (the caller's owner is left empty). The callback and the key list may be
  // null; without keys a signed container is "unknown_key". Called once per reader.
  container_open_result_t open(auto_ptr_t<file_t>& file, progress_callback_t* callback,
                               const array_t<const rsa_public_key_t*>* keys);

  const array_t<layout_record_t>& layouts() const { return layouts_; }
  const array_t<file_patch_record_t>& file_patches() const { return file_patches_; }
  const aes_key_t* find_key(const content_hash_t& key_id) const { return keys_.find(key_id); }
  const diff_info_t* find_diff(const content_hash_t& diff_id) const { return diffs_.find(diff_id); }
  file_t* file() const { return file_.get(); }

  // The size of what the diff's block produces, from its block header; out is all ones unless
  // the result is ok. key is the content key of a keyed diff, or null.
  diff_size_result_t get_diff_output_size(u64& out, const content_hash_t& diff_id, const aes_key_t* key) const;

  // The block header in front of an unkeyed diff's data in this container; false when the diff
  // has no data here, is keyed, or the header cannot be read (logged).
  bool get_diff_block_header(block_header_t& out, const content_hash_t& diff_id) const;

  // Decodes the diff's block into output, from its start; source is the previous version of the
  // file, which only deltas read (null when there is none). key is the content key of a keyed
  // diff, or null.
  extract_diff_result_t extract_diff(auto_ptr_t<file_t>& output, file_t* source, const content_hash_t& diff_id,
                                     const aes_key_t* key, progress_callback_t* callback) const;

private:
  // Where a chunk's variable part lies.
  struct chunk_data_t {
    u64 offset;
    u64 size;
  };

  container_open_result_t read_directory(u64 size, progress_callback_t* callback, task_progress_t& progress);
  container_open_result_t read_chunk(u64 position, u64 size, u64& end);
  container_open_result_t handle_layo(const u8* fixed, const chunk_data_t& data);
  container_open_result_t handle_fpat(const u8* fixed, const chunk_data_t& data);
  container_open_result_t handle_keys(const chunk_data_t& data);
  container_open_result_t handle_diff(const u8* fixed, const chunk_data_t& data);
  container_open_result_t handle_meta(const u8* fixed, const chunk_data_t& data);
  template <typename T>
  container_open_result_t read_array(array_t<T>& out, const chunk_data_t& data, u32 limit);

  auto_ptr_t<file_t> file_;
  array_dyn_t<layout_record_t> layouts_;
  array_dyn_t<file_patch_record_t> file_patches_;
  content_hash_map_t<aes_key_t> keys_;
  content_hash_map_t<diff_info_t> diffs_;
};

} // namespace orvo::patch
