#include "publisher_test_support.h"

#include <cryptopp/sha.h>

namespace orvo::publisher::testing {

std::string text_at(const bytes_t& bytes, u64 offset, size_t size) {
  return std::string(bytes.begin() + offset, bytes.begin() + offset + size);
}

content_hash_t hash_at(const bytes_t& bytes, u64 offset) {
  content_hash_t hash;
  std::copy(bytes.begin() + offset, bytes.begin() + offset + 32, hash.begin());
  return hash;
}

content_hash_t sha256_of(const bytes_t& bytes) {
  content_hash_t hash;
  CryptoPP::SHA256().CalculateDigest(hash.data(), bytes.data(), bytes.size());
  return hash;
}

std::vector<chunk_view_t> split_chunks(const bytes_t& container) {
  std::vector<chunk_view_t> chunks;
  u64 position = 668;
  while (position < container.size()) {
    chunk_view_t chunk;
    chunk.offset = position;
    EXPECT_LE(position + 16, container.size());
    if (position + 16 > container.size()) break;
    chunk.size = le64(container, position);
    chunk.tag = text_at(container, position + 8, 4);
    chunk.version = le32(container, position + 12);
    EXPECT_GE(chunk.size, 16u);
    EXPECT_LE(chunk.size, container.size() - position);
    if (chunk.size < 16 || chunk.size > container.size() - position) break;
    chunk.body.assign(container.begin() + position + 16, container.begin() + position + chunk.size);
    chunks.push_back(chunk);
    position += chunk.size;
  }
  EXPECT_EQ(position, container.size());
  return chunks;
}

} // namespace orvo::publisher::testing
