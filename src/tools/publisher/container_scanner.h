#pragma once
#include "tools/publisher/container_open_result.h"
#include "tools/publisher/content_hash.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace orvo::publisher {

struct chunk_info_t {
  u64 offset = 0;
  u64 size = 0;
  u32 tag = 0;
  u32 version = 0;
  u32 fixed_size = 0;  // 0 for chunks that are skipped
};

struct scanned_layout_entry_t {
  u32 root = 0;
  std::string path;  // up to the NUL, or all 128 bytes when there is none
  content_hash_t hash{};
  const char* problem = nullptr;  // why the updater refuses the entry
};

struct scanned_layout_t {
  std::string name;
  bool name_terminated = false;
  content_hash_t match_hash{};
  u32 version[4] = {};
  std::vector<scanned_layout_entry_t> entries;
};

struct scanned_file_patch_t {
  content_hash_t source{};
  content_hash_t target{};
  std::vector<content_hash_t> diff_ids;
};

struct scanned_key_t {
  aes_key_t key{};
  content_hash_t key_id{};
};

struct scanned_diff_t {
  content_hash_t id{};
  bool keyed = false;
  bool declared_only = false;  // META: no data in this container
  u64 data_offset = 0;
  u64 data_size = 0;
  content_hash_t key_id{};
  bool has_block_header = false;  // DIFF data: the block header could be read
  u64 output_size = 0;
  u32 method = 0;
};

// Receives what the scan finds, in file order.
class container_scan_visitor_t {
public:
  virtual ~container_scan_visitor_t() = default;
  virtual void on_chunk(const chunk_info_t&) {}
  virtual void on_layout(const scanned_layout_t&) {}
  virtual void on_file_patch(const scanned_file_patch_t&) {}
  virtual void on_keys(const std::vector<scanned_key_t>&) {}
  virtual void on_diff(const scanned_diff_t&) {}
  virtual void on_problem(u64 offset, container_open_result_t result, const std::string& text) {}
};

// Walks the chunks after the header with the updater's rules. Problems inside a chunk are
// reported and the walk goes on with the next chunk; a chunk that breaks the chunk sequence
// ends it. Returns the result of the first problem (the one the updater would report), or open_ok.
container_open_result_t scan_chunks(std::istream& file, u64 size, container_scan_visitor_t* visitor);

} // namespace orvo::publisher
