#include "fs_test_support.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace orvo::testing {
namespace {

class stderr_handler_t final : public message_handler_t {
public:
  void on_message(const string& text, u32) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

void remove_tree(const std::string& path) {
  directory_list_t entries;
  list_directory(entries, path.c_str(), true);
  for (const directory_entry_t& entry : entries) {
    if (entry.kind == file_kind_directory) remove_tree(entry.name.c_str());
    else delete_file(entry.name);
  }
  remove_directory(path.c_str());
}

} // namespace

void print_messages_to_stderr() {
  static stderr_handler_t handler;
  create_message_dispatcher();
  message_dispatcher()->register_handler(&handler);
}

std::string read_native(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_native(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  ASSERT_TRUE(out.write(content.data(), static_cast<std::streamsize>(content.size()))) << path;
}

std::string pattern_bytes(u32 size) {
  std::string bytes(size, '\0');
  u32 state = 0x12345678;
  for (char& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 23);
  }
  return bytes;
}

void fs_test_t::SetUp() {
  fs_startup();
  ASSERT_NE(native_device(), nullptr);
  string_path_t work;
  ASSERT_TRUE(get_temp_directory(work));
  static std::atomic<u32> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  folder_ = std::string(work.c_str()) + "/fs_tests_" + std::to_string(stamp) + "_" + std::to_string(counter++);
  ASSERT_TRUE(create_directories(folder_.c_str()));
}

void fs_test_t::TearDown() {
  if (!native_device()) fs_startup();
  remove_tree(folder_);
  fs_shutdown();
}

} // namespace orvo::testing
