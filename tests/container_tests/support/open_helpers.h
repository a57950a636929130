#pragma once
#include "patch/container_reader.h"
#include "support/container_builder.h"
#include "support/scripted_file.h"

#include <memory>

namespace orvo::test {

// A reader opened over a scripted file of the given bytes; file() stays valid while reader lives.
struct opened_t {
  std::unique_ptr<patch::container_reader_t> reader = std::make_unique<patch::container_reader_t>();
  scripted_file_t* file = nullptr;
  patch::container_open_result_t result = patch::container_open_result_t::ok;
};

inline opened_t open_bytes(const bytes_t& bytes, const array_t<const rsa_public_key_t*>* keys,
                           progress_callback_t* callback = nullptr) {
  opened_t opened;
  auto* file = new scripted_file_t(bytes, "container.ktlp");
  opened.file = file;
  auto_ptr_t<file_t> owner(file);
  opened.result = opened.reader->open(owner, callback, keys);
  return opened;
}

// The list that holds the 4096-bit test key.
inline const array_t<const rsa_public_key_t*>& test_key_list() {
  static array_dyn_t<const rsa_public_key_t*> keys;
  if (keys.empty()) keys.push(&test_key_4096().der_record);
  return keys;
}

inline opened_t open_signed(const container_builder_t& builder, progress_callback_t* callback = nullptr) {
  return open_bytes(builder.signed_bytes(test_key_4096()), &test_key_list(), callback);
}

} // namespace orvo::test
