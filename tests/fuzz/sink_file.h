#pragma once
// Output for fuzz targets: keeps nothing and refuses to grow past a bound, so that small inputs
// which expand enormously end early.
#include "ovcore/ufs/fs_file.h"
#include "ovcore/ufs/fs_io_request.h"

namespace orvo::fuzz {

class sink_file_t final : public file_t {
public:
  explicit sink_file_t(u64 limit) : file_t("<sink>"), limit_(limit) {}
  bool uses_read_cache() const override { return false; }
  fs_io_request_t* io_read(void*, u32, u64) override { return nullptr; }
  fs_io_request_t* io_write(const void*, u32 size, u64 offset) override {
    return offset + size > limit_ ? nullptr : fs_complete_request();
  }
  bool is_done(fs_io_request_t*) override { return true; }
  bool wait(fs_io_request_t*) override { return true; }
  void release(fs_io_request_t*) override {}
  bool stat(file_info_t* info) override {
    if (info) info->size = position();
    return true;
  }

private:
  u64 limit_;
};

} // namespace orvo::fuzz
