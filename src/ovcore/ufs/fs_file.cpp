#include "ovcore/ufs/fs_file.h"

#include "ovcore/messages/messages.h"

#include <cstring>

namespace orvo {

namespace {

// Source and line that the failed size check of an open file reports.
constexpr const char* fs_file_source = "ufs/fs_file";
constexpr u32 fs_file_stat_line = 367;

} // namespace

file_t::file_t(const string& name) : name_(name) {}

file_t::~file_t() { discard_read_cache(); }

void file_t::full_path(mstring_t& out) const { out.set(name_); }

void file_t::discard_read_cache() {
  delete[] cache_;
  cache_ = nullptr;
  cache_fill_ = 0;
  cache_offset_ = 0;
}

bool file_t::copy_from_cache(u8*& destination, u32& size) {
  if (position_ < cache_offset_ || position_ >= cache_offset_ + cache_fill_) return false;
  const u64 available = cache_offset_ + cache_fill_ - position_;
  const u32 count = available < size ? static_cast<u32>(available) : size;
  std::memcpy(destination, cache_ + (position_ - cache_offset_), count);
  position_ += count;
  destination += count;
  size -= count;
  return true;
}

bool file_t::refill_read_cache() {
  const u64 file_size = get_size();
  const u64 left = file_size > position_ ? file_size - position_ : 0;
  cache_offset_ = position_;
  cache_fill_ = left < fs_read_cache_size ? static_cast<u32>(left) : fs_read_cache_size;
  if (cache_fill_ != 0 && !read_at(cache_, cache_fill_, cache_offset_)) {
    cache_fill_ = 0;
    log_error("[fs] cached read - buffer update failed (%s)", name_.c_str());
    return false;
  }
  return true;
}

bool file_t::read(void* buffer, u32 size) {
  if (size == 0) return true;
  if (!buffer) return false;
  if (!uses_read_cache()) {
    if (!read_at(buffer, size, position_)) return false;
    position_ += size;
    return true;
  }
  if (!cache_) cache_ = new u8[fs_read_cache_size];
  u8* destination = static_cast<u8*>(buffer);
  if (copy_from_cache(destination, size) && size == 0) return true;
  if (size > fs_read_cache_size) {
    if (!read_at(destination, size, position_)) return false;
    position_ += size;
    return true;
  }
  if (!refill_read_cache()) return false;
  if (cache_fill_ < size) {
    log_error("[fs] cached read - read request too big (%s)", name_.c_str());
    return false;
  }
  copy_from_cache(destination, size);
  return true;
}

bool file_t::write_at_position(const void* data, u32 size) {
  discard_read_cache();
  fs_io_request_t* request = io_write(data, size, position_);
  if (!request || !wait(request)) return false;
  position_ += size;
  return true;
}

bool file_t::write(const void* data, u32 size) {
  if (size == 0) return true;
  if (!data) return false;
  return write_at_position(data, size);
}

bool file_t::file_printf(const char* format, ...) {
  string_dyn_t text;
  va_list args;
  va_start(args, format);
  text.format_at(0, format, args);
  va_end(args);
  const u32 length = text.length();
  if (length == 0) return true;
  return write_at_position(text.c_str(), length);
}

bool file_t::read_at(void* buffer, u32 size, u64 offset) {
  if (!buffer) return false;
  fs_io_request_t* request = io_read(buffer, size, offset);
  return request && wait(request);
}

u64 file_t::get_size() {
  file_info_t info;
  if (!stat(&info)) {
    log_error("[fs] failed to stat opened file (%s)!", name_.c_str());
    fatal_check_failed(fs_file_source, fs_file_stat_line, ORVO_FUNCTION, "Failed to stat opened file!");
  }
  return info.size;
}

} // namespace orvo
