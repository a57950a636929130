#include "ovcore/ufs/fs_request_pool.h"

#include <new>

namespace orvo {

fs_request_pool_t::~fs_request_pool_t() {
  for (fs_io_request_t* block : blocks_) delete[] block;
}

bool fs_request_pool_t::grow() {
  if (!blocks_.grow(1)) return false;
  fs_io_request_t* block = new (std::nothrow) fs_io_request_t[next_block_size_];
  if (!block) return false;
  blocks_.push(block);
  for (u32 i = next_block_size_; i > 0; --i) {
    block[i - 1].next_free = free_;
    free_ = &block[i - 1];
  }
  capacity_ += next_block_size_;
  next_block_size_ *= 2;
  return true;
}

fs_io_request_t* fs_request_pool_t::take() {
  thread::scoped_lock_t guard(lock_);
  if (!free_ && !grow()) return nullptr;
  fs_io_request_t* request = free_;
  free_ = request->next_free;
  *request = fs_io_request_t();
  return request;
}

void fs_request_pool_t::give_back(fs_io_request_t* request) {
  thread::scoped_lock_t guard(lock_);
  request->next_free = free_;
  free_ = request;
}

u32 fs_request_pool_t::capacity() {
  thread::scoped_lock_t guard(lock_);
  return capacity_;
}

fs_request_pool_t& fs_request_pool() {
  static fs_request_pool_t pool;
  return pool;
}

} // namespace orvo
