#include "random_file.h"

#include <cryptopp/sha.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace orvo::bench {

namespace {

constexpr u64 write_chunk_size = 1 << 20;

} // namespace

bool write_random_file(const std::filesystem::path& path, u64 size, xorshift_random_t& random,
                       sha256_digest_t& digest) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  FILE* file = std::fopen(path.string().c_str(), "wb");
  if (!file) return false;
  CryptoPP::SHA256 hash;
  std::vector<u8> chunk(std::min(size, write_chunk_size));
  bool ok = true;
  for (u64 written = 0; written < size && ok;) {
    const u64 count = std::min(size - written, write_chunk_size);
    random.fill(chunk.data(), count);
    hash.Update(chunk.data(), count);
    ok = std::fwrite(chunk.data(), 1, count, file) == count;
    written += count;
  }
  hash.Final(digest.data());
  return (std::fclose(file) == 0) && ok;
}

} // namespace orvo::bench
