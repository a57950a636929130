#include "tools/publisher/file_io.h"

#include "ovcore/messages/messages.h"

#include <fstream>

namespace orvo::publisher {

std::filesystem::path utf8_path(std::string_view text) {
  try {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
  } catch (const std::exception&) {
    log_error("[ERR] '%.*s' is not a valid UTF-8 file name", static_cast<int>(text.size()), text.data());
    return std::filesystem::path();
  }
}

std::string path_text(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool move_into_place(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  std::filesystem::rename(from, to, error);
  std::error_code ignored;
  if (error && std::filesystem::remove(to, ignored)) std::filesystem::rename(from, to, error);
  if (!error) return true;
  log_error("[ERR] Unable to rename '%s' to '%s'", path_text(from).c_str(), path_text(to).c_str());
  return false;
}

bool get_file_size(const std::filesystem::path& path, u64& out) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    log_error("[ERR] '%s' is not a file", path_text(path).c_str());
    return false;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) {
    log_error("[ERR] Unable to query the size of '%s'", path_text(path).c_str());
    return false;
  }
  out = size;
  return true;
}

bool read_at(std::istream& stream, u64 offset, void* data, size_t size) {
  stream.clear();
  if (!stream.seekg(static_cast<std::streamoff>(offset))) return false;
  stream.read(static_cast<char*>(data), static_cast<std::streamsize>(size));
  return stream.gcount() == static_cast<std::streamsize>(size);
}

bool write_at(std::ostream& stream, u64 offset, const void* data, size_t size) {
  if (!stream.seekp(static_cast<std::streamoff>(offset))) return false;
  return static_cast<bool>(stream.write(static_cast<const char*>(data), static_cast<std::streamsize>(size)));
}

bool read_small_file(const std::filesystem::path& path, std::string& out, u64 max_size) {
  u64 size = 0;
  if (!get_file_size(path, size)) return false;
  if (size > max_size) {
    log_error("[ERR] '%s' is too large (%I64u bytes)", path_text(path).c_str(), size);
    return false;
  }
  std::ifstream input(path, std::ios::binary);
  out.assign(static_cast<size_t>(size), '\0');
  if (!input || !input.read(out.data(), static_cast<std::streamsize>(size))) {
    log_error("[ERR] Error while reading '%s'", path_text(path).c_str());
    return false;
  }
  return true;
}

bool write_small_file(const std::filesystem::path& path, const void* data, size_t size) {
  std::ofstream output(path, std::ios::binary | std::ios::trunc);
  if (output) output.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (output) output.close();
  if (!output) {
    log_error("[ERR] Error while writing '%s'", path_text(path).c_str());
    return false;
  }
  return true;
}

} // namespace orvo::publisher
