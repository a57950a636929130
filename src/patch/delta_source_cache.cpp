#include "patch/delta_source_cache.h"

#include "ovcore/messages/messages.h"
#include "patch/byte_buffer.h"

namespace orvo::patch {

// A source smaller than a block never needs a whole block of memory.
delta_source_cache_t::delta_source_cache_t(file_t& source)
    : source_(source), source_size_(source.get_size()),
      buffer_size_(source_size_ < block_size ? static_cast<u32>(source_size_) : block_size) {}

delta_source_cache_t::~delta_source_cache_t() {
  if (pending_) source_.release(pending_);
  for (u32 i = 0; i < count_; ++i) free_bytes(blocks_[i].bytes, buffer_size_);
}

const delta_source_cache_t::block_t* delta_source_cache_t::fetch(u64 number) {
  for (u32 i = 0; i < count_; ++i) {
    if (blocks_[i].number != number) continue;
    const block_t found = blocks_[i];
    if (!finish_read_ahead(found)) {
      remove(i);
      return nullptr;
    }
    for (u32 j = i; j + 1 < count_; ++j) blocks_[j] = blocks_[j + 1];
    blocks_[count_ - 1] = found;
    return &blocks_[count_ - 1];
  }
  grow_if_evicted(number);
  block_t* block = take_free_entry();
  if (!block) return nullptr;
  if (!read_block(*block, number)) {
    remove(count_ - 1);
    return nullptr;
  }
  return block;
}

void delta_source_cache_t::read_ahead(u64 number) {
  if (pending_ || length_of(number) == 0 || holds(number)) return;
  block_t* block = take_free_entry();
  if (!block) return;
  block->number = number;
  block->length = length_of(number);
  pending_ = source_.io_read(block->bytes, block->length, number * block_size);
  // A read that cannot start is left to the fetch, which reports it.
  if (!pending_) remove(count_ - 1);
  else pending_bytes_ = block->bytes;
}

bool delta_source_cache_t::holds(u64 number) const {
  for (u32 i = 0; i < count_; ++i)
    if (blocks_[i].number == number) return true;
  return false;
}

// The most recently used slot, with a buffer: a new one while there is room, else the least
// recently used block's, once a read ahead into it has ended.
delta_source_cache_t::block_t* delta_source_cache_t::take_free_entry() {
  if (count_ < room_) {
    u8* bytes = allocate_bytes(buffer_size_);
    if (!bytes) {
      log_error("[ERR] Unable to allocate a source block");
      return nullptr;
    }
    blocks_[count_++] = {0, 0, bytes};
  } else {
    const block_t evicted = blocks_[0];
    remember_eviction(evicted.number);
    if (evicted.bytes == pending_bytes_) {
      // Never asked for: its outcome does not matter.
      source_.release(pending_);
      pending_ = nullptr;
      pending_bytes_ = nullptr;
    }
    for (u32 j = 0; j + 1 < count_; ++j) blocks_[j] = blocks_[j + 1];
    blocks_[count_ - 1] = evicted;
  }
  return &blocks_[count_ - 1];
}

void delta_source_cache_t::remember_eviction(u64 number) {
  evicted_[evicted_count_ % max_blocks] = number;
  ++evicted_count_;
}

void delta_source_cache_t::grow_if_evicted(u64 number) {
  const u32 known = evicted_count_ < max_blocks ? evicted_count_ : max_blocks;
  for (u32 i = 0; i < known; ++i) {
    if (evicted_[i] != number) continue;
    room_ = room_ * 2 < max_blocks ? room_ * 2 : max_blocks;
    return;
  }
}

void delta_source_cache_t::remove(u32 index) {
  free_bytes(blocks_[index].bytes, buffer_size_);
  for (u32 j = index; j + 1 < count_; ++j) blocks_[j] = blocks_[j + 1];
  blocks_[--count_] = {};
}

// Bytes of the block inside the file; 0 at or past its end.
u32 delta_source_cache_t::length_of(u64 number) const {
  const u64 block_count = source_size_ / block_size + (source_size_ % block_size != 0);
  if (number >= block_count) return 0;
  const u64 left = source_size_ - number * block_size;
  return left < block_size ? static_cast<u32>(left) : block_size;
}

bool delta_source_cache_t::read_block(block_t& block, u64 number) {
  block.number = number;
  block.length = length_of(number);
  if (block.length == 0) return true;
  fs_io_request_t* request = source_.io_read(block.bytes, block.length, number * block_size);
  return request && source_.wait(request) ? true : read_failed();
}

// Waits for the read ahead when it fills this block; false when that read failed.
bool delta_source_cache_t::finish_read_ahead(const block_t& block) {
  if (!pending_ || block.bytes != pending_bytes_) return true;
  const bool read = source_.wait(pending_);
  pending_ = nullptr;
  pending_bytes_ = nullptr;
  return read || read_failed();
}

bool delta_source_cache_t::read_failed() {
  log_error("[ERR] Error while reading from '%s'", source_.name().c_str());
  return false;
}

} // namespace orvo::patch
