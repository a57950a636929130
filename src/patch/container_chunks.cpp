// The handlers of the recognised chunks of a container's directory.
#include "patch/container_format.h"
#include "patch/container_reader.h"

#include <cstring>

namespace orvo::patch {

namespace {

using result_t = container_open_result_t;

content_hash_t hash_at(const u8* bytes) {
  content_hash_t hash;
  std::memcpy(hash.bytes, bytes, sizeof hash.bytes);
  return hash;
}

bool same_declaration(const diff_info_t& a, const diff_info_t& b) {
  return a.keyed == b.keyed && a.data_size == b.data_size && a.key_id == b.key_id;
}

} // namespace

// The variable part as an array of at most limit elements, read at once.
template <typename T>
container_open_result_t container_reader_t::read_array(array_t<T>& out, const chunk_data_t& data, u32 limit) {
  if (data.size % sizeof(T) != 0 || data.size / sizeof(T) > limit) return result_t::corrupted;
  const u32 count = static_cast<u32>(data.size / sizeof(T));
  if (!out.resize(count)) return result_t::internal_error;
  if (count && !file_->read_at(out.data(), count * sizeof(T), data.offset)) return result_t::io_error;
  return result_t::ok;
}

container_open_result_t container_reader_t::handle_layo(const u8* fixed, const chunk_data_t& data) {
  const char* name = reinterpret_cast<const char*>(fixed);
  if (!std::memchr(name, 0, 64)) return result_t::corrupted;
  layout_record_t record;
  record.name = string_dyn_t(name);
  record.match_hash = hash_at(fixed + 64);
  for (u32 i = 0; i < 4; ++i) record.version[i] = read_u32_le(fixed + 96 + 4 * i);
  const result_t paths = read_array(record.paths, data, layo_entry_limit);
  if (paths != result_t::ok) return paths;
  for (const layout_path_t& entry : record.paths)
    if (!is_valid_layout_path(entry)) return result_t::corrupted;
  return layouts_.push_move(record) ? result_t::ok : result_t::internal_error;
}

container_open_result_t container_reader_t::handle_fpat(const u8* fixed, const chunk_data_t& data) {
  file_patch_record_t record;
  record.source = hash_at(fixed);
  record.target = hash_at(fixed + 32);
  const result_t diff_ids = read_array(record.diff_ids, data, fpat_diff_id_limit);
  if (diff_ids != result_t::ok) return diff_ids;
  return file_patches_.push_move(record) ? result_t::ok : result_t::internal_error;
}

container_open_result_t container_reader_t::handle_keys(const chunk_data_t& data) {
  array_dyn_t<aes_key_t> keys;
  const result_t read = read_array(keys, data, keys_key_limit);
  if (read != result_t::ok) return read;
  if (!keys_.reserve(keys_.size() + keys.size())) return result_t::internal_error;
  for (const aes_key_t& key : keys) {
    content_hash_t key_id;
    if (!derive_key_id(key_id.bytes, key, key_id_label)) return result_t::internal_error;
    if (keys_.find(key_id)) return result_t::corrupted;
    if (!keys_.insert(key_id, key)) return result_t::internal_error;
  }
  return result_t::ok;
}

container_open_result_t container_reader_t::handle_diff(const u8* fixed, const chunk_data_t& data) {
  const content_hash_t diff_id = hash_at(fixed);
  diff_info_t info;
  info.keyed = (fixed[32] & diff_flag_keyed) != 0;
  info.data_offset = data.offset;
  info.data_size = data.size;
  if (data.size < block_header_size) return result_t::corrupted;
  if (info.keyed) {
    if (data.size < keyed_diff_min_size) return result_t::corrupted;
    if (!file_->read_at(info.key_id.bytes, sizeof info.key_id.bytes, data.offset)) return result_t::io_error;
  }
  diff_info_t* stored = diffs_.find(diff_id);
  if (!stored) return diffs_.insert(diff_id, info) ? result_t::ok : result_t::internal_error;
  if (stored->data_offset != diff_offset_none || !same_declaration(*stored, info)) return result_t::corrupted;
  *stored = info;
  return result_t::ok;
}

container_open_result_t container_reader_t::handle_meta(const u8* fixed, const chunk_data_t& data) {
  const content_hash_t diff_id = hash_at(fixed);
  diff_info_t info;
  info.data_offset = diff_offset_none;
  info.data_size = read_u64_le(fixed + 32);
  if (data.size == sizeof info.key_id.bytes) {
    info.keyed = true;
    if (!file_->read_at(info.key_id.bytes, sizeof info.key_id.bytes, data.offset)) return result_t::io_error;
  } else if (data.size != 0) {
    return result_t::corrupted;
  }
  const diff_info_t* stored = diffs_.find(diff_id);
  if (!stored) return diffs_.insert(diff_id, info) ? result_t::ok : result_t::internal_error;
  return same_declaration(*stored, info) ? result_t::ok : result_t::corrupted;
}

} // namespace orvo::patch
