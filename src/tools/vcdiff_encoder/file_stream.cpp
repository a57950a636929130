#include "tools/vcdiff_encoder/file_stream.h"

#include "ovcore/messages/messages.h"

#include <string_view>

namespace orvo::vcdiff {

namespace {

std::filesystem::path to_fs_path(const string& path) {
  const char* text = path.c_str();
  return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(text), path.length()));
}

} // namespace

bool file_reader_t::open(const string& path) {
  path_ = path.c_str();
  const std::filesystem::path fs_path = to_fs_path(path);
  std::error_code error;
  const std::uintmax_t length = std::filesystem::file_size(fs_path, error);
  if (error) {
    log_error("[ERR] Unable to open '%s': %s", path.c_str(), error.message().c_str());
    return false;
  }
  stream_.open(fs_path, std::ios::binary | std::ios::in);
  if (!stream_.is_open()) {
    log_error("[ERR] Unable to open '%s'", path.c_str());
    return false;
  }
  size_ = length;
  return true;
}

bool file_reader_t::read(u64 offset, u8* destination, size_t length) {
  if (offset > size_ || length > size_ - offset) {
    log_error("[ERR] Read past the end of '%s' at %I64u", path_.c_str(), offset);
    return false;
  }
  if (length == 0) return true;
  stream_.clear();
  stream_.seekg(static_cast<std::streamoff>(offset));
  stream_.read(reinterpret_cast<char*>(destination), static_cast<std::streamsize>(length));
  if (!stream_ || static_cast<size_t>(stream_.gcount()) != length) {
    log_error("[ERR] Error while reading from '%s'", path_.c_str());
    return false;
  }
  return true;
}

bool file_writer_t::open(const string& path) {
  path_ = path.c_str();
  fs_path_ = to_fs_path(path);
  stream_.open(fs_path_, std::ios::binary | std::ios::out | std::ios::trunc);
  if (!stream_.is_open()) {
    log_error("[ERR] Unable to create '%s'", path.c_str());
    return false;
  }
  return true;
}

bool file_writer_t::write(const u8* data, size_t length) {
  stream_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
  if (!stream_) {
    log_error("[ERR] Error while writing to '%s'", path_.c_str());
    return false;
  }
  return true;
}

bool file_writer_t::close() {
  stream_.close();
  if (!stream_) {
    log_error("[ERR] Error while writing to '%s'", path_.c_str());
    return false;
  }
  return true;
}

void file_writer_t::discard() {
  if (stream_.is_open()) stream_.close();
  std::error_code error;
  std::filesystem::remove(fs_path_, error);
}

} // namespace orvo::vcdiff
