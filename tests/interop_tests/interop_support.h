#pragma once
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/messages/message_dispatcher.h"
#include "ovcore/ufs/fs_file.h"
#include "patch/container_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace orvo::interop {

using bytes_t = std::vector<u8>;

bytes_t read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, const bytes_t& bytes);
void write_text(const std::filesystem::path& path, const std::string& text);
bytes_t random_bytes(size_t size, u32 seed);
// Bytes an LZMA encoder shrinks well: words from a small vocabulary.
bytes_t text_bytes(size_t size, u32 seed);

// Writable file_t over a byte vector; requests complete at once.
class vector_file_t final : public file_t {
public:
  explicit vector_file_t(const char* name, bytes_t bytes = {}) : file_t(name), bytes_(std::move(bytes)) {}
  bool uses_read_cache() const override { return false; }
  fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) override;
  fs_io_request_t* io_write(const void* data, u32 size, u64 offset) override;
  bool is_done(fs_io_request_t*) override { return true; }
  bool wait(fs_io_request_t*) override { return true; }
  void release(fs_io_request_t*) override {}
  bool stat(file_info_t* info) override;
  const bytes_t& bytes() const { return bytes_; }

private:
  bytes_t bytes_;
};

// The development key pair of keys/.
std::filesystem::path dev_key_path(const char* name);
// The development public key as the updater carries a built-in key.
class dev_public_key_t {
public:
  dev_public_key_t();
  const array_t<const rsa_public_key_t*>& list() const { return list_; }

private:
  bytes_t der_;
  rsa_public_key_t record_{};
  array_dyn_t<const rsa_public_key_t*> list_;
};

// Opens container bytes as the updater opens its embedded container (a memory file).
struct opened_container_t {
  patch::container_open_result_t result = patch::container_open_result_t::internal_error;
  std::unique_ptr<patch::container_reader_t> reader;
};
opened_container_t open_container(const bytes_t& bytes, const array_t<const rsa_public_key_t*>* keys);

// Message capture, the file layer and a fresh directory per test.
class interop_test_t : public ::testing::Test, public message_handler_t {
protected:
  void SetUp() override;
  void TearDown() override;
  void on_message(const string& text, u32 level) override { log_lines.emplace_back(text.c_str()); }
  bool logged(const std::string& part) const;
  std::filesystem::path file(const std::string& name) const { return dir_ / name; }

  std::filesystem::path dir_;
  std::vector<std::string> log_lines;
};

} // namespace orvo::interop
