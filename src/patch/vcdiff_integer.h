#pragma once
#include "patch/vcdiff_format.h"

namespace orvo::patch {

// Base-128 integer arriving one byte at a time.
class vcdiff_integer_builder_t {
public:
  enum result_t { more, complete, invalid };

  result_t add(u8 byte) {
    if (digits_ == vcdiff_max_integer_bytes || value_ > (~u64{0} >> 7)) return invalid;
    value_ = (value_ << 7) | (byte & 0x7F);
    ++digits_;
    return (byte & 0x80) ? more : complete;
  }
  u64 value() const { return value_; }
  void reset() {
    value_ = 0;
    digits_ = 0;
  }

private:
  u64 value_ = 0;
  u32 digits_ = 0;
};

// Cursor over bytes held in memory.
class vcdiff_reader_t {
public:
  vcdiff_reader_t() = default;
  vcdiff_reader_t(const u8* data, u64 size) : data_(data), end_(data + size) {}

  u64 remaining() const { return static_cast<u64>(end_ - data_); }
  bool empty() const { return data_ == end_; }
  const u8* position() const { return data_; }

  bool read_byte(u8& out) {
    if (data_ == end_) return false;
    out = *data_++;
    return true;
  }
  bool read_integer(u64& out) {
    vcdiff_integer_builder_t builder;
    while (data_ != end_) {
      switch (builder.add(*data_++)) {
      case vcdiff_integer_builder_t::more: continue;
      case vcdiff_integer_builder_t::complete: out = builder.value(); return true;
      case vcdiff_integer_builder_t::invalid: return false;
      }
    }
    return false;
  }
  // Hands out the next size bytes without copying them.
  bool take(u64 size, const u8*& out) {
    if (size > remaining()) return false;
    out = data_;
    data_ += size;
    return true;
  }

private:
  const u8* data_ = nullptr;
  const u8* end_ = nullptr;
};

} // namespace orvo::patch
