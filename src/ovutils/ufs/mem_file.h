#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/ufs/fs_file.h"

namespace orvo {

// File whose contents live in memory, in a directory of fixed-size pages. Requests complete at once.
class mem_file_t final : public file_t {
public:
  // Page size of writable memory files.
  static constexpr u32 data_page_size = 1024;

  class page_t {
  public:
    virtual ~page_t() = default;
    virtual void read(void* destination, u32 size, u32 offset_in_page) const = 0;
    virtual void write(const void* source, u32 size, u32 offset_in_page) = 0;
  };

  // Read-only file over caller memory, which must outlive the file; no copy is made.
  mem_file_t(const void* data, u32 size);
  // Empty writable file; pages are allocated on first write.
  mem_file_t();

  bool uses_read_cache() const override { return false; }
  // Null when the range lies beyond the end of the file.
  fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) override;
  // Null for read-only files and for ranges beyond 4 GiB.
  fs_io_request_t* io_write(const void* data, u32 size, u64 offset) override;
  bool is_done(fs_io_request_t*) override { return true; }
  bool wait(fs_io_request_t*) override { return true; }
  void release(fs_io_request_t*) override {}
  bool stat(file_info_t* info) override;

private:
  page_t* get_page(u32 index, bool create);

  bool read_only_;
  u32 size_;
  u32 page_size_;
  array_dyn_t<auto_ptr_t<page_t>> pages_;
};

} // namespace orvo
