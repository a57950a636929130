#pragma once
#include "ovcore/types.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

namespace orvo::publisher {

constexpr size_t hash_chunk_size = 524288;
constexpr size_t copy_chunk_size = 65536;
constexpr size_t lzma_buffer_size = 1048576;

// Paths are UTF-8 inside the tool; a name that cannot be converted logs and gives an empty path.
std::filesystem::path utf8_path(std::string_view text);
std::string path_text(const std::filesystem::path& path);

// Size of a regular file; logs and returns false when there is none.
bool get_file_size(const std::filesystem::path& path, u64& out);

// Positioned reads and writes on an open stream; false on a short or failed transfer.
bool read_at(std::istream& stream, u64 offset, void* data, size_t size);
bool write_at(std::ostream& stream, u64 offset, const void* data, size_t size);

// Renames a finished file onto its final name, replacing what is there; logs a failure.
bool move_into_place(const std::filesystem::path& from, const std::filesystem::path& to);

// Small files only (keys): fails for files above max_size bytes.
bool read_small_file(const std::filesystem::path& path, std::string& out, u64 max_size);
bool write_small_file(const std::filesystem::path& path, const void* data, size_t size);

} // namespace orvo::publisher
