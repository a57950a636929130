#pragma once
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/messages/message_dispatcher.h"
#include "patch/container_reader.h"
#include "patch_tests/test_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace orvo::interop {

using bytes_t = std::vector<u8>;

bytes_t read_bytes(const std::filesystem::path& path);
// Little-endian numbers at an offset; out of range throws.
u32 le32(const bytes_t& bytes, u64 offset);
u64 le64(const bytes_t& bytes, u64 offset);
void write_bytes(const std::filesystem::path& path, const bytes_t& bytes);
void write_text(const std::filesystem::path& path, const std::string& text);
bytes_t random_bytes(size_t size, u32 seed);
// Bytes an LZMA encoder shrinks well: words from a small vocabulary.
bytes_t text_bytes(size_t size, u32 seed);

// Writable file_t over a byte vector; requests complete at once.
using vector_file_t = patch::test::test_file_t;

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
