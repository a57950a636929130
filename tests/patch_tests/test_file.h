#pragma once
#include "ovcore/ufs/fs_file.h"
#include "ovcore/ufs/fs_io_request.h"

#include <cstring>
#include <functional>
#include <vector>

namespace orvo::patch::test {

// File over a byte vector, or over bytes generated from their offset, with failures on demand.
class test_file_t final : public file_t {
public:
  explicit test_file_t(const char* name, std::vector<u8> bytes = {}) : file_t(name), bytes_(std::move(bytes)) {}
  // A file of the given size whose bytes generate(out, size, offset) makes up; nothing is stored.
  using generator_t = std::function<void(u8*, u32, u64)>;
  test_file_t(const char* name, u64 size, generator_t generate)
      : file_t(name), generated_size_(size), generate_(std::move(generate)) {}

  bool uses_read_cache() const override { return false; }
  fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) override {
    ++reads;
    if (reads > fail_reads_after || offset > file_size() || size > file_size() - offset) return nullptr;
    u8* out = static_cast<u8*>(buffer);
    if (generate_)
      generate_(out, size, offset);
    else if (size)
      std::memcpy(out, bytes_.data() + offset, size);
    return fs_complete_request();
  }
  fs_io_request_t* io_write(const void* data, u32 size, u64 offset) override {
    if (writes++ >= fail_writes_after) return nullptr;
    if (bytes_.size() < offset + size) bytes_.resize(offset + size);
    if (size) std::memcpy(bytes_.data() + offset, data, size);
    return fs_complete_request();
  }
  bool is_done(fs_io_request_t*) override { return true; }
  bool wait(fs_io_request_t*) override { return true; }
  void release(fs_io_request_t*) override {}
  bool stat(file_info_t* info) override {
    if (info) {
      info->kind = file_kind_file;
      info->size = file_size();
    }
    return true;
  }

  const std::vector<u8>& bytes() const { return bytes_; }
  u64 file_size() const { return generate_ ? generated_size_ : bytes_.size(); }

  u64 reads = 0;
  u64 writes = 0;
  u64 fail_reads_after = ~u64{0};
  u64 fail_writes_after = ~u64{0};

private:
  std::vector<u8> bytes_;
  u64 generated_size_ = 0;
  generator_t generate_;
};

} // namespace orvo::patch::test
