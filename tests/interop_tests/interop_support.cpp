#include "interop_support.h"

#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"
#include "ovutils/ufs/mem_file.h"

#include <chrono>
#include <fstream>
#include <random>

namespace orvo::interop {

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

bytes_t read_bytes(const std::filesystem::path& path) {
  std::ifstream input(path, std::ios::binary);
  return bytes_t(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
}

void write_bytes(const std::filesystem::path& path, const bytes_t& bytes) {
  std::filesystem::create_directories(path.parent_path());
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
  for (size_t i = 0; i < size; i += 4) {
    const u32 value = generator();
    for (size_t j = 0; j < 4 && i + j < size; ++j) bytes[i + j] = static_cast<u8>(value >> (8 * j));
  }
  return bytes;
}

bytes_t text_bytes(size_t size, u32 seed) {
  static const char* const words[] = {"velmora ", "patch ", "window ", "source ", "target ", "layout ", "diff ", "\n"};
  std::mt19937 generator(seed);
  bytes_t bytes;
  bytes.reserve(size + 16);
  while (bytes.size() < size)
    for (const char* word = words[generator() % 8]; *word; ++word) bytes.push_back(static_cast<u8>(*word));
  bytes.resize(size);
  return bytes;
}

std::filesystem::path dev_key_path(const char* name) { return std::filesystem::path(ORVO_DEV_KEYS_DIR) / name; }

dev_public_key_t::dev_public_key_t() : der_(read_bytes(dev_key_path("dev-public.der"))) {
  record_ = {"", false, der_.data(), static_cast<u32>(der_.size())};
  list_.push(&record_);
}

opened_container_t open_container(const bytes_t& bytes, const array_t<const rsa_public_key_t*>* keys) {
  opened_container_t opened;
  opened.reader = std::make_unique<patch::container_reader_t>();
  auto_ptr_t<file_t> file(new mem_file_t(bytes.data(), static_cast<u32>(bytes.size())));
  opened.result = opened.reader->open(file, nullptr, keys);
  return opened;
}

void interop_test_t::SetUp() {
  create_message_dispatcher();
  message_dispatcher()->register_handler(this);
  fs_startup();
  ASSERT_NE(native_device(), nullptr);
  static u32 counter = 0;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  dir_ = std::filesystem::temp_directory_path() / ("interop_tests_" + std::to_string(stamp) + "_" +
                                                   std::to_string(counter++));
  std::filesystem::create_directories(dir_);
}

void interop_test_t::TearDown() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
  fs_shutdown();
  message_dispatcher()->unregister_handler(this);
  destroy_message_dispatcher();
}

bool interop_test_t::logged(const std::string& part) const {
  for (const std::string& line : log_lines)
    if (line.find(part) != std::string::npos) return true;
  return false;
}

} // namespace orvo::interop
