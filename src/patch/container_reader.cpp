#include "patch/container_reader.h"

#include "ovcore/messages/messages.h"
#include "patch/container_format.h"
#include "patch/container_signature.h"

#include <cstring>

namespace orvo::patch {

namespace {

using result_t = container_open_result_t;

bool all_zero(const u8* bytes, u32 size) {
  for (u32 i = 0; i < size; ++i)
    if (bytes[i]) return false;
  return true;
}

// Fixed part size of a recognised chunk; 0 for chunks that are skipped.
u32 fixed_part_size(const u8* tag, u32 version) {
  if (version != chunk_version) return 0;
  if (std::memcmp(tag, "LAYO", 4) == 0) return layo_fixed_size;
  if (std::memcmp(tag, "META", 4) == 0) return meta_fixed_size;
  if (std::memcmp(tag, "DIFF", 4) == 0) return diff_fixed_size;
  if (std::memcmp(tag, "FPAT", 4) == 0) return fpat_fixed_size;
  return 0;
}

} // namespace

container_open_result_t container_reader_t::open(auto_ptr_t<file_t>& file, progress_callback_t* callback,
                                                 const array_t<const rsa_public_key_t*>* keys) {
  file_ = std::move(file);
  if (!file_) return result_t::open_failed;
  const u64 size = file_->get_size();
  if (size < container_header_size) return result_t::not_container;

  u8 header[container_header_size];
  if (!file_->read_at(header, sizeof header, 0)) return result_t::io_error;
  if (std::memcmp(header, container_magic, sizeof container_magic) != 0) return result_t::not_container;
  if (read_u32_le(header + header_version_offset) != container_version) return result_t::unsupported_version;

  task_progress_t progress;
  progress.step_count = 1;
  if (all_zero(header + header_fingerprint_offset, rsa_fingerprint_size)) {
    const bool blank = all_zero(header + header_reserved_offset, header_reserved_size) &&
                       all_zero(header + header_signature_offset, header_signature_size);
    return blank ? result_t::no_signature : result_t::corrupted;
  }
  if (!keys) return result_t::unknown_key;
  progress.step_count = 2;
  const result_t signature = verify_container_signature(*file_, header, size, *keys, callback, progress);
  if (signature != result_t::ok) return signature;
  progress.step = 1;

  const result_t directory = read_directory(size, callback, progress);
  if (directory != result_t::ok) return directory;

  progress.stage_id = 0;
  progress.step = progress.step_count;
  progress.bytes_done = 0;
  progress.bytes_total = 0;
  return report_progress(callback, progress) ? result_t::ok : result_t::aborted;
}

container_open_result_t container_reader_t::read_directory(u64 size, progress_callback_t* callback,
                                                           task_progress_t& progress) {
  progress.stage_id = stage_reading_chunks;
  progress.bytes_total = size;
  progress.bytes_done = container_header_size;
  if (!report_progress(callback, progress)) return result_t::aborted;

  u64 position = container_header_size;
  while (position < size) {
    u64 end = 0;
    const result_t chunk = read_chunk(position, size, end);
    if (chunk != result_t::ok) return chunk;
    position = end;
    progress.bytes_done = position;
    if (!report_progress(callback, progress)) return result_t::aborted;
  }
  progress.bytes_done = progress.bytes_total;
  return report_progress(callback, progress) ? result_t::ok : result_t::aborted;
}

// Checks the chunk at position against the container size and runs its handler; end receives
// the position of the next chunk.
container_open_result_t container_reader_t::read_chunk(u64 position, u64 size, u64& end) {
  u8 header[chunk_header_size];
  if (!file_->read_at(header, sizeof header, position)) return result_t::io_error;
  const u64 chunk_size = read_u64_le(header);
  const u8* tag = header + 8;
  if (chunk_size > size - position) return result_t::corrupted;
  end = position + chunk_size;

  const u32 fixed_size = fixed_part_size(tag, read_u32_le(header + 12));
  if (chunk_size < chunk_header_size + fixed_size) return result_t::corrupted;
  u8 fixed[layo_fixed_size];
  if (fixed_size && !file_->read_at(fixed, fixed_size, position + chunk_header_size)) return result_t::io_error;

  const chunk_data_t data = {position + chunk_header_size + fixed_size, chunk_size - chunk_header_size - fixed_size};
  const bool recognised = read_u32_le(header + 12) == chunk_version;
  if (!recognised) return result_t::ok;
  if (std::memcmp(tag, "LAYO", 4) == 0) return handle_layo(fixed, data);
  if (std::memcmp(tag, "FPAT", 4) == 0) return handle_fpat(fixed, data);
  if (std::memcmp(tag, "KEYS", 4) == 0) return handle_keys(data);
  if (std::memcmp(tag, "DIFF", 4) == 0) return handle_diff(fixed, data);
  if (std::memcmp(tag, "META", 4) == 0) return handle_meta(fixed, data);
  return result_t::ok;
}

bool container_reader_t::get_diff_block_header(block_header_t& out, const content_hash_t& diff_id) const {
  const diff_info_t* diff = find_diff(diff_id);
  if (!diff || diff->keyed || diff->data_offset == diff_offset_none) return false;
  u8 bytes[block_header_size];
  if (!file_->read_at(bytes, sizeof bytes, diff->data_offset)) {
    log_error("[ERR] Error while reading from '%s'", file_->name().c_str());
    return false;
  }
  out = parse_block_header(bytes);
  return true;
}

} // namespace orvo::patch
