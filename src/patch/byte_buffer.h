#pragma once
#include "ovcore/types.h"

#include <new>

namespace orvo::patch {

// Owned, uninitialised byte storage that only grows; allocation failure is reported, not thrown.
class byte_buffer_t {
public:
  byte_buffer_t() = default;
  byte_buffer_t(const byte_buffer_t&) = delete;
  byte_buffer_t& operator=(const byte_buffer_t&) = delete;
  ~byte_buffer_t() { delete[] data_; }

  // Keeps the contents when the capacity already suffices, discards them otherwise.
  bool reserve(u32 size) {
    if (size <= capacity_) return true;
    delete[] data_;
    capacity_ = 0;
    data_ = new (std::nothrow) u8[size];
    if (!data_) return false;
    capacity_ = size;
    return true;
  }
  void free() {
    delete[] data_;
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
