#pragma once
#include "ovcore/memory/large_block.h"
#include "ovcore/types.h"

#include <new>

namespace orvo::patch {

// Buffers from this size on come from the system directly, the rest from the heap.
constexpr u32 large_buffer_size = 0x100000;

// Uninitialised bytes; null when memory runs out.
inline u8* allocate_bytes(u32 size) {
  return size >= large_buffer_size ? static_cast<u8*>(allocate_large_block(size)) : new (std::nothrow) u8[size];
}

// Takes the size the bytes were allocated with.
inline void free_bytes(u8* bytes, u32 size) {
  if (size >= large_buffer_size) free_large_block(bytes, size);
  else delete[] bytes;
}

// Owned, uninitialised byte storage that only grows; allocation failure is reported, not thrown.
class byte_buffer_t {
public:
  byte_buffer_t() = default;
  byte_buffer_t(const byte_buffer_t&) = delete;
  byte_buffer_t& operator=(const byte_buffer_t&) = delete;
  ~byte_buffer_t() { free(); }

  // Keeps the contents when the capacity already suffices, discards them otherwise.
  bool reserve(u32 size) {
    if (size <= capacity_) return true;
    free();
    data_ = allocate_bytes(size);
    if (!data_) return false;
    capacity_ = size;
    return true;
  }
  void free() {
    free_bytes(data_, capacity_);
    data_ = nullptr;
    capacity_ = 0;
  }

  u8* data() { return data_; }
  const u8* data() const { return data_; }
  u32 capacity() const { return capacity_; }

private:
  u8* data_ = nullptr;
  u32 capacity_ = 0;
};

} // namespace orvo::patch
