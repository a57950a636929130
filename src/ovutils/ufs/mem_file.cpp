#include "ovutils/ufs/mem_file.h"

#include "ovcore/messages/messages.h"

#include <cstring>
#include <new>

namespace orvo {

namespace {

// Source and lines that the failed checks of memory files report.
constexpr const char* mem_file_source = "ufs/mem_file";
constexpr u32 bound_page_write_line = 187;
constexpr u32 zero_page_write_line = 246;
constexpr u32 page_directory_line = 486;

class data_page_t final : public mem_file_t::page_t {
public:
  void read(void* destination, u32 size, u32 offset_in_page) const override {
    std::memcpy(destination, bytes_ + offset_in_page, size);
  }
  void write(const void* source, u32 size, u32 offset_in_page) override {
    std::memcpy(bytes_ + offset_in_page, source, size);
  }

private:
  u8 bytes_[mem_file_t::data_page_size] = {};
};

class bound_data_page_t final : public mem_file_t::page_t {
public:
  explicit bound_data_page_t(const void* data) : data_(static_cast<const u8*>(data)) {}
  void read(void* destination, u32 size, u32 offset_in_page) const override {
    std::memcpy(destination, data_ + offset_in_page, size);
  }
  void write(const void*, u32, u32) override {
    fatal_check_failed(mem_file_source, bound_page_write_line, ORVO_FUNCTION,
                       "writing to bound data pages is prohibited.");
  }

private:
  const u8* data_;
};

class zero_page_t final : public mem_file_t::page_t {
public:
  void read(void* destination, u32 size, u32) const override { std::memset(destination, 0, size); }
  void write(const void*, u32, u32) override {
    fatal_check_failed(mem_file_source, zero_page_write_line, ORVO_FUNCTION, "writing to ZERO page is not supported!");
  }
};

zero_page_t& zero_page() {
  static zero_page_t page;
  return page;
}

} // namespace

mem_file_t::mem_file_t(const void* data, u32 size)
    : file_t("<mem-addr-file>"), read_only_(true), size_(size), page_size_(size) {
  auto_ptr_t<page_t> page(new bound_data_page_t(data));
  pages_.push_move(page);
}

mem_file_t::mem_file_t() : file_t("<mem-file>"), read_only_(false), size_(0), page_size_(data_page_size) {}

mem_file_t::page_t* mem_file_t::get_page(u32 index, bool create) {
  if (index >= pages_.size()) {
    if (!create) return nullptr;
    ORVO_CHECK_AT(pages_.resize(index + 1), mem_file_source, page_directory_line,
                  "[memfs] unable to resize page directory!");
  }
  auto_ptr_t<page_t>& slot = pages_[index];
  if (!slot) {
    if (!create) return &zero_page();
    slot.reset(new data_page_t);
  }
  return slot.get();
}

fs_io_request_t* mem_file_t::io_read(void* buffer, u32 size, u64 offset) {
  if (size == 0 || !buffer) return fs_complete_request();
  if (offset > size_ || size > size_ - offset) return nullptr;
  u8* destination = static_cast<u8*>(buffer);
  u32 in_page = static_cast<u32>(offset % page_size_);
  const u32 last = static_cast<u32>((offset + size - 1) / page_size_);
  for (u32 index = static_cast<u32>(offset / page_size_); index <= last; ++index) {
    const u32 chunk = page_size_ - in_page < size ? page_size_ - in_page : size;
    page_t* page = get_page(index, false);
    (page ? *page : zero_page()).read(destination, chunk, in_page);
    destination += chunk;
    size -= chunk;
    in_page = 0;
  }
  return fs_complete_request();
}

fs_io_request_t* mem_file_t::io_write(const void* data, u32 size, u64 offset) {
  if (read_only_) return nullptr;
  if (size == 0 || !data) return fs_complete_request();
  const u64 end = offset + size;
  if (end > 0xFFFFFFFFull) return nullptr;
  const u8* source = static_cast<const u8*>(data);
  u32 in_page = static_cast<u32>(offset % page_size_);
  const u32 last = static_cast<u32>((end - 1) / page_size_);
  for (u32 index = static_cast<u32>(offset / page_size_); index <= last; ++index) {
    const u32 chunk = page_size_ - in_page < size ? page_size_ - in_page : size;
    get_page(index, true)->write(source, chunk, in_page);
    source += chunk;
    size -= chunk;
    in_page = 0;
  }
  if (end > size_) size_ = static_cast<u32>(end);
  return fs_complete_request();
}

bool mem_file_t::stat(file_info_t* info) {
  if (info) {
    info->kind = file_kind_file;
    info->size = size_;
    info->modification_time = 0;
  }
  return true;
}

} // namespace orvo
