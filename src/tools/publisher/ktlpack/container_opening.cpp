#include "container_opening.h"

#include "ovcore/crypto/builtin_public_key.h"
#include "ovcore/messages/messages.h"
#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"
#include "tools/publisher/file_io.h"

namespace orvo::publisher {

namespace {

constexpr u64 max_key_file_size = 65536;

} // namespace

rsa_public_key_t container_key_t::record() const {
  if (der.empty()) return builtin_public_key();
  return {"--public-key", false, reinterpret_cast<const u8*>(der.data()), static_cast<u32>(der.size())};
}

bool load_container_key(const std::string* file, container_key_t& out) {
  if (file && !read_small_file(utf8_path(*file), out.der, max_key_file_size)) return false;
  if (!file && builtin_public_key().length == 0) {
    log_error("[ERR] This build carries no public key; give one with --public-key");
    return false;
  }
  if (compute_key_fingerprint(out.record(), out.fingerprint)) return true;
  log_error("[ERR] '%s' is not a DER SubjectPublicKeyInfo RSA public key", file ? file->c_str() : "the built-in key");
  return false;
}

file_layer_t::file_layer_t() { fs_startup(); }

file_layer_t::~file_layer_t() { fs_shutdown(); }

patch::container_open_result_t open_container(patch::container_reader_t& reader, const std::string& file,
                                              const container_key_t& key) {
  auto_ptr_t<file_t> container = open_file_read(file.c_str());
  if (!container) {
    log_error("[ERR] Unable to open '%s'", file.c_str());
    return patch::container_open_result_t::open_failed;
  }
  const rsa_public_key_t record = key.record();
  array_dyn_t<const rsa_public_key_t*> keys;
  if (!keys.push(&record)) return patch::container_open_result_t::internal_error;
  return reader.open(container, nullptr, &keys);
}

} // namespace orvo::publisher
