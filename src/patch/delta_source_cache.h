#pragma once
#include "ovcore/ufs/fs_file.h"

namespace orvo::patch {

// Blocks of the source file kept in least-recently-used order, read on demand.
class delta_source_cache_t {
public:
  static constexpr u32 block_size = 0x800000;
  static constexpr u32 max_blocks = 32;

  struct block_t {
    u64 number = 0;
    u32 length = 0;
    u8* bytes = nullptr;
  };

  explicit delta_source_cache_t(file_t& source);
  delta_source_cache_t(const delta_source_cache_t&) = delete;
  delta_source_cache_t& operator=(const delta_source_cache_t&) = delete;
  ~delta_source_cache_t();

  u64 source_size() const { return source_size_; }
  // The block, read when it is not held; a block past the end of the file has length 0.
  // Null when it cannot be read. The block stays valid until max_blocks other blocks are fetched.
  const block_t* fetch(u64 number);

private:
  block_t* take_free_entry();
  void drop_last();
  bool read_block(block_t& block, u64 number);

  file_t& source_;
  u64 source_size_;
  // Least recently used first.
  block_t blocks_[max_blocks];
  u32 count_ = 0;
};

} // namespace orvo::patch
