#pragma once
#include "ovcore/crypto/content_hash.h"
#include "ovcore/crypto/key_id.h"
#include "ovcore/types.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvo::publisher {

// The bytes of an orvo::content_hash_t and of an orvo::aes_key_t, as the writer's interface takes them.
using content_hash_t = std::array<u8, 32>;
using aes_key_t = std::array<u8, 32>;
static_assert(sizeof(content_hash_t) == sizeof(orvo::content_hash_t) && sizeof(aes_key_t) == sizeof(orvo::aes_key_t));

// Upper-case hexadecimal text, two digits per byte.
std::string to_hex(const u8* data, size_t size);
template <size_t n> std::string to_hex(const std::array<u8, n>& bytes) { return to_hex(bytes.data(), n); }

// Exactly 2 * size hexadecimal digits of either case; false otherwise.
bool parse_hex(std::string_view text, u8* out, size_t size);

// orvo::empty_content_hash.
content_hash_t empty_content_hash();

// SHA-256 of a whole file, read in 512 KiB chunks.
bool compute_file_hash(const std::filesystem::path& file, content_hash_t& out);

} // namespace orvo::publisher
