#pragma once
#include "ovcore/messages/message_dispatcher.h"
#include "tools/publisher/content_hash.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvo::publisher::testing {

using bytes_t = std::vector<u8>;

std::filesystem::path dev_key_path(const char* name);

bytes_t read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, const bytes_t& bytes);
void write_text(const std::filesystem::path& path, const std::string& text);
bytes_t random_bytes(size_t size, u32 seed);

u32 le32(const bytes_t& bytes, u64 offset);
u64 le64(const bytes_t& bytes, u64 offset);
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

// Collects dispatched messages for the duration of a test.
class log_capture_t : public message_handler_t {
public:
  void on_message(const string& text, u32 level) override { lines.emplace_back(text.c_str()); }
  bool contains(const std::string& part) const;
  std::vector<std::string> lines;
};

// Fresh temporary directory and message capture per test.
class publisher_test_t : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path file(const std::string& name) const { return dir_ / name; }

  std::filesystem::path dir_;
  log_capture_t log_;
};

} // namespace orvo::publisher::testing
