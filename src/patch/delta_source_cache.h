#pragma once
#include "ovcore/ufs/fs_file.h"

namespace orvo::patch {

// Blocks of the source file kept in least-recently-used order, read on demand or ahead.
// A source read in order needs few blocks, and fresh memory costs more than reading a block
// again, so the cache starts with room for initial_blocks and doubles its room, up to
// max_blocks, whenever a block it evicted is needed again.
class delta_source_cache_t {
public:
  static constexpr u32 block_size = 0x800000;
  static constexpr u32 max_blocks = 32;
  static constexpr u32 initial_blocks = 4;

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
  // Null when it cannot be read. The block stays valid until max_blocks other blocks are fetched
  // or read ahead.
  const block_t* fetch(u64 number);
  // Starts reading a block of the file that is not held, as the most recently used entry, unless
  // another read ahead is still in flight. A later fetch of it waits for the read.
  void read_ahead(u64 number);
  bool holds(u64 number) const;
  // Blocks the cache may hold now.
  u32 room() const { return room_; }

private:
  block_t* take_free_entry();
  void remember_eviction(u64 number);
  void grow_if_evicted(u64 number);
  void remove(u32 index);
  u32 length_of(u64 number) const;
  bool read_block(block_t& block, u64 number);
  bool finish_read_ahead(const block_t& block);
  bool read_failed();

  file_t& source_;
  const u64 source_size_;
  const u32 buffer_size_;
  // Least recently used first.
  block_t blocks_[max_blocks];
  u32 count_ = 0;
  u32 room_ = initial_blocks;
  // The blocks evicted last, oldest overwritten first.
  u64 evicted_[max_blocks];
  u32 evicted_count_ = 0;
  // The read ahead in flight and the buffer it fills.
  fs_io_request_t* pending_ = nullptr;
  const u8* pending_bytes_ = nullptr;
};

} // namespace orvo::patch
