#pragma once
#include "ovcore/ufs/fs_file.h"

#include <cstdint>
#include <vector>

namespace orvo::test {

// File over a byte vector whose reads complete only when waited for, so a test can see what is
// in flight. A read can be made to fail at a chosen offset.
class scripted_file_t final : public file_t {
public:
  struct read_t {
    u64 offset;
    u32 size;
  };

  explicit scripted_file_t(std::vector<u8> bytes, const char* name = "scripted.bin");
  ~scripted_file_t() override;

  bool uses_read_cache() const override { return false; }
  fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) override;
  fs_io_request_t* io_write(const void*, u32, u64) override { return nullptr; }
  bool is_done(fs_io_request_t*) override { return false; }
  bool wait(fs_io_request_t* request) override;
  void release(fs_io_request_t* request) override;
  bool stat(file_info_t* info) override;

  // The read that covers this offset completes with failure.
  void fail_read_at(u64 offset) { fail_offset_ = offset; }
  u32 outstanding() const { return outstanding_; }
  u32 max_outstanding() const { return max_outstanding_; }
  u32 released() const { return released_; }
  const std::vector<read_t>& reads() const { return reads_; }
  // Bytes read at or after this offset.
  u64 bytes_read_from(u64 offset) const;

private:
  bool complete(fs_io_request_t* request);

  std::vector<u8> bytes_;
  u64 fail_offset_ = UINT64_MAX;
  u32 outstanding_ = 0;
  u32 max_outstanding_ = 0;
  u32 released_ = 0;
  std::vector<read_t> reads_;
};

} // namespace orvo::test
