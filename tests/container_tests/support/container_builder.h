#pragma once
#include "ovcore/crypto/content_hash.h"
#include "support/test_keys.h"

#include <array>
#include <string>
#include <vector>

namespace orvo::test {

using bytes_t = std::vector<u8>;
using hash_bytes_t = std::array<u8, 32>;

// A hash whose bytes are all `fill`.
hash_bytes_t hash_of(u8 fill);
content_hash_t as_hash(const hash_bytes_t& bytes);

void put_u32(bytes_t& out, u32 value);
void put_u64(bytes_t& out, u64 value);
void put_bytes(bytes_t& out, const void* data, size_t size);
void put_zeros(bytes_t& out, size_t count);

// Chunk with header: u64 total size, tag, u32 version; body = fixed part and variable part.
bytes_t chunk(const char* tag, const bytes_t& body, u32 version = 2);
// A layout_path_t entry: root tag, path padded with NULs to 128 bytes, content hash.
bytes_t layout_entry(const std::string& path, u8 hash_fill = 0x11, const char* root = "APPL");
bytes_t layo_chunk(const std::string& name, const std::vector<bytes_t>& entries, const hash_bytes_t& match = {},
                   std::array<u32, 4> version = {1, 13, 3, 0});
bytes_t fpat_chunk(const hash_bytes_t& source, const hash_bytes_t& target, const std::vector<hash_bytes_t>& diff_ids);
bytes_t keys_chunk(const std::vector<hash_bytes_t>& keys);
bytes_t diff_chunk(const hash_bytes_t& id, bool keyed, const bytes_t& data);
bytes_t meta_chunk(const hash_bytes_t& id, u64 data_size, const hash_bytes_t* key_id = nullptr);
// Keyed diff data: the key id (32 bytes of id_fill), then filler up to size bytes.
bytes_t keyed_data(u8 id_fill, size_t size);
// Unkeyed diff data: a COPY block of the given payload.
bytes_t copy_block(const bytes_t& payload);

// A container: header fields and the bytes after the header.
struct container_builder_t {
  u32 version = 2;
  std::array<u8, 128> reserved = {};
  bytes_t body;

  container_builder_t& add(const bytes_t& bytes) {
    put_bytes(body, bytes.data(), bytes.size());
    return *this;
  }
  // All-zero fingerprint and signature.
  bytes_t unsigned_bytes() const;
  // Fingerprint of the key, RSASSA-PKCS1-v1_5 SHA-256 signature over the header with a zero
  // signature field followed by the body.
  bytes_t signed_bytes(const test_key_t& key) const;
};

// Re-signs container bytes in place (header fields other than fingerprint and signature kept).
void sign_container(bytes_t& container, const test_key_t& key);

} // namespace orvo::test
