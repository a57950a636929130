#pragma once
#include "ovcore/strings/strings.h"
#include "ovcore/types.h"

namespace orvo {

// SHA-256 digest naming a file version, a diff or (as key id) a content key.
struct content_hash_t {
  u8 bytes[32];

  bool operator==(const content_hash_t& other) const = default;
  bool is_zero() const;
  // 64 upper-case hexadecimal digits, as log lines show hashes.
  string_fixed_t<65> text() const;
};
static_assert(sizeof(content_hash_t) == 32);

// In a layout: the file is deleted. As a key id: the diff needs no key.
inline constexpr content_hash_t zero_content_hash = {};
// SHA-256 of empty input: the content of an empty or absent file.
inline constexpr content_hash_t empty_content_hash = {
    {0xE3, 0xB0, 0xC4, 0x42, 0x98, 0xFC, 0x1C, 0x14, 0x9A, 0xFB, 0xF4, 0xC8, 0x99, 0x6F, 0xB9, 0x24,
     0x27, 0xAE, 0x41, 0xE4, 0x64, 0x9B, 0x93, 0x4C, 0xA4, 0x95, 0x99, 0x1B, 0x78, 0x52, 0xB8, 0x55}};

} // namespace orvo
