#include "tools/publisher/container_scanner.h"

#include "tools/publisher/byte_order.h"
#include "tools/publisher/container_format.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/key_id.h"

#include <cstring>
#include <map>

namespace orvo::publisher {

namespace {

class chunk_scanner_t {
public:
  chunk_scanner_t(std::istream& file, u64 size, container_scan_visitor_t* visitor)
      : file_(file), size_(size), visitor_(visitor) {}

  container_open_result_t run();

private:
  bool scan_chunk(u64 position, u64& end);
  void scan_layout(const chunk_info_t& chunk, const u8* fixed, u64 data_offset, u64 data_size);
  void scan_file_patch(const chunk_info_t& chunk, const u8* fixed, u64 data_offset, u64 data_size);
  void scan_keys(const chunk_info_t& chunk, u64 data_offset, u64 data_size);
  void scan_diff(const chunk_info_t& chunk, const u8* fixed, u64 data_offset, u64 data_size);
  void scan_meta(const chunk_info_t& chunk, const u8* fixed, u64 data_offset, u64 data_size);
  bool read_array(const chunk_info_t& chunk, u64 data_offset, u64 data_size, u32 element_size, u32 limit,
                  std::vector<u8>& out);
  void problem(u64 offset, container_open_result_t result, const std::string& text);

  std::istream& file_;
  u64 size_;
  container_scan_visitor_t* visitor_;
  container_open_result_t first_ = open_ok;
  std::map<content_hash_t, scanned_diff_t> diffs_;
  std::vector<content_hash_t> key_ids_;
};

std::string tag_text(u32 tag) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char ch = static_cast<char>(tag >> (8 * i));
    text += ch >= 0x20 && ch < 0x7F ? ch : '?';
  }
  return text;
}

std::string at_chunk(const chunk_info_t& chunk) {
  return tag_text(chunk.tag) + " chunk at " + std::to_string(chunk.offset) + ": ";
}

const char* entry_problem(u32 root, const u8* path_field) {
  if (root != format::root_application) return "root is not APPL";
  if (!std::memchr(path_field, 0, format::layout_path_field_size)) return "path has no NUL within 128 bytes";
  if (path_field[0] == '/') return "path begins with '/'";
  if (std::strchr(reinterpret_cast<const char*>(path_field), '\\')) return "path contains a backslash";
  return nullptr;
}

void read_hash(content_hash_t& out, const u8* bytes) { std::memcpy(out.data(), bytes, out.size()); }

} // namespace

void chunk_scanner_t::problem(u64 offset, container_open_result_t result, const std::string& text) {
  if (first_ == open_ok) first_ = result;
  if (visitor_) visitor_->on_problem(offset, result, text);
}

container_open_result_t chunk_scanner_t::run() {
  u64 position = format::header_size;
  while (position < size_) {
    u64 end = 0;
    if (!scan_chunk(position, end)) break;
    position = end;
  }
  return first_;
}

bool chunk_scanner_t::scan_chunk(u64 position, u64& end) {
  u8 header[format::chunk_header_size];
  if (!read_at(file_, position, header, sizeof(header))) {
    problem(position, open_io_error, "chunk header at " + std::to_string(position) + " does not fit in the file");
    return false;
  }
  chunk_info_t chunk;
  chunk.offset = position;
  chunk.size = get_u64_le(header);
  chunk.tag = get_u32_le(header + 8);
  chunk.version = get_u32_le(header + 12);
  chunk.fixed_size = format::fixed_size_of(chunk.tag, chunk.version);
  if (visitor_) visitor_->on_chunk(chunk);
  if (chunk.size > size_ - position) {
    problem(position, open_corrupted, at_chunk(chunk) + "size " + std::to_string(chunk.size) +
                                          " reaches past the end of the file");
    return false;
  }
  if (chunk.size < format::chunk_header_size + chunk.fixed_size) {
    problem(position, open_corrupted, at_chunk(chunk) + "size " + std::to_string(chunk.size) + " is too small");
    return false;
  }
  end = position + chunk.size;
  u8 fixed[format::layout_fixed_size];
  if (chunk.fixed_size && !read_at(file_, position + format::chunk_header_size, fixed, chunk.fixed_size)) {
    problem(position, open_io_error, at_chunk(chunk) + "fixed part cannot be read");
    return false;
  }
  const u64 data_offset = position + format::chunk_header_size + chunk.fixed_size;
  const u64 data_size = chunk.size - format::chunk_header_size - chunk.fixed_size;
  if (chunk.version != format::chunk_version) return true;
  switch (chunk.tag) {
  case format::tag_layout: scan_layout(chunk, fixed, data_offset, data_size); break;
  case format::tag_file_patch: scan_file_patch(chunk, fixed, data_offset, data_size); break;
  case format::tag_keys: scan_keys(chunk, data_offset, data_size); break;
  case format::tag_diff: scan_diff(chunk, fixed, data_offset, data_size); break;
  case format::tag_meta: scan_meta(chunk, fixed, data_offset, data_size); break;
  default: break;
  }
  return true;
}

bool chunk_scanner_t::read_array(const chunk_info_t& chunk, u64 data_offset, u64 data_size, u32 element_size,
                                 u32 limit, std::vector<u8>& out) {
  if (data_size % element_size != 0) {
    problem(chunk.offset, open_corrupted, at_chunk(chunk) + std::to_string(data_size) + " bytes of records of " +
                                              std::to_string(element_size) + " bytes");
    return false;
  }
  if (data_size / element_size > limit) {
    problem(chunk.offset, open_corrupted, at_chunk(chunk) + std::to_string(data_size / element_size) +
                                              " records, more than " + std::to_string(limit));
    return false;
  }
  out.resize(static_cast<size_t>(data_size));
  if (data_size && !read_at(file_, data_offset, out.data(), out.size())) {
    problem(chunk.offset, open_io_error, at_chunk(chunk) + "records cannot be read");
    return false;
  }
  return true;
}

void chunk_scanner_t::scan_layout(const chunk_info_t& chunk, const u8* fixed, u64 data_offset, u64 data_size) {
  scanned_layout_t layout;
  const void* nul = std::memchr(fixed, 0, format::layout_name_size);
  layout.name_terminated = nul != nullptr;
  layout.name.assign(reinterpret_cast<const char*>(fixed),
                     nul ? static_cast<const u8*>(nul) - fixed : format::layout_name_size);
  read_hash(layout.match_hash, fixed + format::layout_match_offset);
  for (int i = 0; i < 4; ++i) layout.version[i] = get_u32_le(fixed + format::layout_version_offset + 4 * i);
  if (!layout.name_terminated) problem(chunk.offset, open_corrupted, at_chunk(chunk) + "name has no NUL");
  std::vector<u8> records;
  if (read_array(chunk, data_offset, data_size, format::layout_path_size, format::max_layout_entries, records)) {
    for (size_t offset = 0; offset < records.size(); offset += format::layout_path_size) {
      const u8* record = records.data() + offset;
      scanned_layout_entry_t entry;
      entry.root = get_u32_le(record);
      const u8* path = record + 4;
      const void* end = std::memchr(path, 0, format::layout_path_field_size);
      entry.path.assign(reinterpret_cast<const char*>(path),
                        end ? static_cast<const u8*>(end) - path : format::layout_path_field_size);
      read_hash(entry.hash, record + format::layout_path_hash_offset);
      entry.problem = entry_problem(entry.root, path);
      if (entry.problem)
        problem(chunk.offset, open_corrupted,
                at_chunk(chunk) + "entry " + std::to_string(layout.entries.size()) + ": " + entry.problem);
      layout.entries.push_back(std::move(entry));
    }
  }
  if (visitor_) visitor_->on_layout(layout);
}

void chunk_scanner_t::scan_file_patch(const chunk_info_t& chunk, const u8* fixed, u64 data_offset, u64 data_size) {
  scanned_file_patch_t patch;
  read_hash(patch.source, fixed);
  read_hash(patch.target, fixed + format::hash_size);
  std::vector<u8> ids;
  if (read_array(chunk, data_offset, data_size, format::hash_size, format::max_file_patch_diffs, ids)) {
    for (size_t offset = 0; offset < ids.size(); offset += format::hash_size) {
      patch.diff_ids.emplace_back();
      read_hash(patch.diff_ids.back(), ids.data() + offset);
    }
  }
  if (visitor_) visitor_->on_file_patch(patch);
}

void chunk_scanner_t::scan_keys(const chunk_info_t& chunk, u64 data_offset, u64 data_size) {
  std::vector<u8> bytes;
  std::vector<scanned_key_t> keys;
  if (read_array(chunk, data_offset, data_size, format::key_size, format::max_keys, bytes)) {
    for (size_t offset = 0; offset < bytes.size(); offset += format::key_size) {
      scanned_key_t key;
      std::memcpy(key.key.data(), bytes.data() + offset, key.key.size());
      if (!derive_key_id(key.key_id, key.key)) {
        problem(chunk.offset, open_internal_error, at_chunk(chunk) + "key id cannot be derived");
      } else {
        for (const content_hash_t& known : key_ids_)
          if (known == key.key_id) problem(chunk.offset, open_corrupted, at_chunk(chunk) + "key " +
                                                                             to_hex(key.key_id) + " is stored twice");
        key_ids_.push_back(key.key_id);
      }
      keys.push_back(key);
    }
  }
  if (visitor_) visitor_->on_keys(keys);
}

void chunk_scanner_t::scan_diff(const chunk_info_t& chunk, const u8* fixed, u64 data_offset, u64 data_size) {
  scanned_diff_t diff;
  read_hash(diff.id, fixed);
  diff.keyed = (fixed[format::diff_flags_offset] & format::diff_flag_keyed) != 0;
  diff.data_offset = data_offset;
  diff.data_size = data_size;
  const u64 minimum = diff.keyed ? format::keyed_min_data_size : format::block_header_size;
  bool valid = data_size >= minimum;
  if (!valid) problem(chunk.offset, open_corrupted, at_chunk(chunk) + std::to_string(data_size) + " bytes of data");
  if (valid && diff.keyed && !read_at(file_, data_offset, diff.key_id.data(), diff.key_id.size())) {
    problem(chunk.offset, open_io_error, at_chunk(chunk) + "key id cannot be read");
    valid = false;
  }
  u8 block[format::block_header_size];
  const u64 block_offset = data_offset + (diff.keyed ? format::keyed_prefix_size : 0);
  if (valid && read_at(file_, block_offset, block, sizeof(block))) {
    diff.has_block_header = true;
    diff.output_size = get_u64_le(block);
    diff.method = get_u32_le(block + 8);
  }
  if (valid) {
    const auto found = diffs_.find(diff.id);
    if (found == diffs_.end()) {
      diffs_[diff.id] = diff;
    } else if (found->second.declared_only && found->second.keyed == diff.keyed &&
               found->second.data_size == diff.data_size && found->second.key_id == diff.key_id) {
      found->second = diff;
    } else {
      problem(chunk.offset, open_corrupted,
              at_chunk(chunk) + "diff " + to_hex(diff.id) + " repeats or contradicts an earlier declaration");
    }
  }
  if (visitor_) visitor_->on_diff(diff);
}

void chunk_scanner_t::scan_meta(const chunk_info_t& chunk, const u8* fixed, u64 data_offset, u64 data_size) {
  scanned_diff_t diff;
  read_hash(diff.id, fixed);
  diff.declared_only = true;
  diff.data_offset = ~u64(0);
  diff.data_size = get_u64_le(fixed + format::hash_size);
  bool valid = true;
  if (data_size == format::hash_size) {
    diff.keyed = true;
    if (!read_at(file_, data_offset, diff.key_id.data(), diff.key_id.size())) {
      problem(chunk.offset, open_io_error, at_chunk(chunk) + "key id cannot be read");
      valid = false;
    }
  } else if (data_size != 0) {
    problem(chunk.offset, open_corrupted, at_chunk(chunk) + std::to_string(data_size) + " bytes after the fixed part");
    valid = false;
  }
  if (valid) {
    const auto found = diffs_.find(diff.id);
    if (found == diffs_.end()) {
      diffs_[diff.id] = diff;
    } else if (found->second.keyed != diff.keyed || found->second.data_size != diff.data_size ||
               found->second.key_id != diff.key_id) {
      problem(chunk.offset, open_corrupted, at_chunk(chunk) + "diff " + to_hex(diff.id) + " is declared differently");
    }
  }
  if (visitor_) visitor_->on_diff(diff);
}

container_open_result_t scan_chunks(std::istream& file, u64 size, container_scan_visitor_t* visitor) {
  return chunk_scanner_t(file, size, visitor).run();
}

} // namespace orvo::publisher
