#pragma once
#include "ovcore/types.h"

#include <vector>

namespace orvo::vcdiff {

// Random-access input of known size; read() fails on short or broken reads.
class byte_reader_t {
public:
  virtual ~byte_reader_t() = default;
  virtual u64 size() const = 0;
  virtual bool read(u64 offset, u8* destination, size_t length) = 0;
};

// Sequential output.
class byte_writer_t {
public:
  virtual ~byte_writer_t() = default;
  virtual bool write(const u8* data, size_t length) = 0;
};

// Reader over bytes owned by the caller.
class memory_reader_t final : public byte_reader_t {
public:
  memory_reader_t(const u8* data, size_t length) : data_(data), length_(length) {}
  u64 size() const override { return length_; }
  bool read(u64 offset, u8* destination, size_t length) override;

private:
  const u8* data_;
  size_t length_;
};

// Writer that appends to a byte vector.
class memory_writer_t final : public byte_writer_t {
public:
  bool write(const u8* data, size_t length) override;
  const std::vector<u8>& bytes() const { return bytes_; }

private:
  std::vector<u8> bytes_;
};

} // namespace orvo::vcdiff
