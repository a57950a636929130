#include "tools/vcdiff_encoder/byte_stream.h"

#include <cstring>
#include <new>

namespace orvo::vcdiff {

bool memory_reader_t::read(u64 offset, u8* destination, size_t length) {
  if (offset > length_ || length > length_ - offset) return false;
  if (length) std::memcpy(destination, data_ + offset, length);
  return true;
}

bool memory_writer_t::write(const u8* data, size_t length) {
  try {
    bytes_.insert(bytes_.end(), data, data + length);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

} // namespace orvo::vcdiff
