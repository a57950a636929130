#include "patch/delta_source_cache.h"

#include "ovcore/messages/messages.h"

#include <new>

namespace orvo::patch {

delta_source_cache_t::delta_source_cache_t(file_t& source) : source_(source), source_size_(source.get_size()) {}

delta_source_cache_t::~delta_source_cache_t() {
  for (u32 i = 0; i < count_; ++i) delete[] blocks_[i].bytes;
}

const delta_source_cache_t::block_t* delta_source_cache_t::fetch(u64 number) {
  for (u32 i = 0; i < count_; ++i) {
    if (blocks_[i].number != number) continue;
    const block_t found = blocks_[i];
    for (u32 j = i; j + 1 < count_; ++j) blocks_[j] = blocks_[j + 1];
    blocks_[count_ - 1] = found;
    return &blocks_[count_ - 1];
  }
  block_t* block = take_free_entry();
  if (!block) return nullptr;
  if (!read_block(*block, number)) {
    drop_last();
    return nullptr;
  }
  return block;
}

// The most recently used slot, with a buffer: a new one while there is room, else the least
// recently used block's.
delta_source_cache_t::block_t* delta_source_cache_t::take_free_entry() {
  if (count_ < max_blocks) {
    // A source smaller than a block never needs a whole block of memory.
    const u32 buffer_size = source_size_ < block_size ? static_cast<u32>(source_size_) : block_size;
    u8* bytes = new (std::nothrow) u8[buffer_size];
    if (!bytes) {
      log_error("[ERR] Unable to allocate a source block");
      return nullptr;
    }
    blocks_[count_++] = {0, 0, bytes};
  } else {
    const block_t evicted = blocks_[0];
    for (u32 j = 0; j + 1 < count_; ++j) blocks_[j] = blocks_[j + 1];
    blocks_[count_ - 1] = evicted;
  }
  return &blocks_[count_ - 1];
}

void delta_source_cache_t::drop_last() {
  delete[] blocks_[count_ - 1].bytes;
  blocks_[--count_] = {};
}

bool delta_source_cache_t::read_block(block_t& block, u64 number) {
  block.number = number;
  block.length = 0;
  const u64 block_count = source_size_ / block_size + (source_size_ % block_size != 0);
  if (number >= block_count) return true;
  const u64 offset = number * block_size;
  const u64 left = source_size_ - offset;
  const u32 length = left < block_size ? static_cast<u32>(left) : block_size;
  fs_io_request_t* request = source_.io_read(block.bytes, length, offset);
  if (!request || !source_.wait(request)) {
    log_error("[ERR] Error while reading from '%s'", source_.name().c_str());
    return false;
  }
  block.length = length;
  return true;
}

} // namespace orvo::patch
