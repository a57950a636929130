#include "publisher_test_support.h"

#include <cryptopp/sha.h>

#include <fstream>
#include <random>

namespace orvo::publisher::testing {

std::filesystem::path dev_key_path(const char* name) { return std::filesystem::path(ORVO_DEV_KEYS_DIR) / name; }

bytes_t read_bytes(const std::filesystem::path& path) {
  std::ifstream input(path, std::ios::binary);
  return bytes_t(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
}

void write_bytes(const std::filesystem::path& path, const bytes_t& bytes) {
  std::ofstream output(path, std::ios::binary | std::ios::trunc);
  output.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(output.good()) << path;
}

void write_text(const std::filesystem::path& path, const std::string& text) {
  write_bytes(path, bytes_t(text.begin(), text.end()));
}

bytes_t random_bytes(size_t size, u32 seed) {
  std::mt19937 generator(seed);
  bytes_t bytes(size);
  for (u8& value : bytes) value = static_cast<u8>(generator());
  return bytes;
}

u32 le32(const bytes_t& bytes, u64 offset) {
  u32 value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | bytes.at(offset + i);
  return value;
}

u64 le64(const bytes_t& bytes, u64 offset) {
  u64 value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bytes.at(offset + i);
  return value;
}

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

bool log_capture_t::contains(const std::string& part) const {
  for (const std::string& line : lines)
    if (line.find(part) != std::string::npos) return true;
  return false;
}

void publisher_test_t::SetUp() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("publisher_tests_") + info->test_suite_name() + "_" + info->name();
  for (char& ch : name)
    if (ch == '/') ch = '_';
  dir_ = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  create_message_dispatcher();
  message_dispatcher()->register_handler(&log_);
}

void publisher_test_t::TearDown() {
  message_dispatcher()->unregister_handler(&log_);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

} // namespace orvo::publisher::testing
