#pragma once
#include "interop_tests/interop_support.h"
#include "tools/publisher/content_hash.h"

namespace orvo::publisher::testing {

using interop::bytes_t;
using interop::dev_key_path;
using interop::le32;
using interop::le64;
using interop::random_bytes;
using interop::read_bytes;
using interop::write_bytes;
using interop::write_text;

std::string text_at(const bytes_t& bytes, u64 offset, size_t size);
content_hash_t hash_at(const bytes_t& bytes, u64 offset);
content_hash_t sha256_of(const bytes_t& bytes);

// One chunk of a container as the bytes show it.
struct chunk_view_t {
  u64 offset = 0;
  u64 size = 0;
  std::string tag;
  u32 version = 0;
  bytes_t body;  // everything after the 16-byte chunk header
};
// Splits everything after the 668-byte header into chunks; fails the test on a bad sequence.
std::vector<chunk_view_t> split_chunks(const bytes_t& container);

// A fresh directory and message capture per test.
using publisher_test_t = interop::interop_test_t;

} // namespace orvo::publisher::testing
