#pragma once
#include "ovcore/crypto/rsa_public_key.h"
#include "patch/container_reader.h"

#include <string>

namespace orvo::publisher {

// The one public key verify and inspect open containers with: a DER X.509 SubjectPublicKeyInfo
// file, or else the key built into this build, as the updater carries it.
struct container_key_t {
  // The file's bytes; empty for the built-in key.
  std::string der;
  u8 fingerprint[rsa_fingerprint_size] = {};

  rsa_public_key_t record() const;
};

// file null: the built-in key. False (logged) when the file cannot be read, the build carries
// no key, or the updater cannot decode the key.
bool load_container_key(const std::string* file, container_key_t& out);

// The engine's file layer, running for the lifetime of the object.
class file_layer_t {
public:
  file_layer_t();
  ~file_layer_t();
  file_layer_t(const file_layer_t&) = delete;
  file_layer_t& operator=(const file_layer_t&) = delete;
};

// Opens the container with the updater's own reader, `key` being the only built-in key; needs a
// running file layer.
patch::container_open_result_t open_container(patch::container_reader_t& reader, const std::string& file,
                                              const container_key_t& key);

} // namespace orvo::publisher
