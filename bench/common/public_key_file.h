#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/crypto/rsa_public_key.h"

#include <string>
#include <vector>

namespace orvo::bench {

// A DER public key read from a file, offered as the only key a container may be signed with.
class public_key_file_t {
public:
  public_key_file_t() = default;
  public_key_file_t(const public_key_file_t&) = delete;
  public_key_file_t& operator=(const public_key_file_t&) = delete;

  // False when the file cannot be read.
  bool load(const std::string& path);
  const array_t<const rsa_public_key_t*>* keys() const { return &keys_; }

private:
  std::vector<u8> der_;
  rsa_public_key_t key_ = {};
  array_dyn_t<const rsa_public_key_t*> keys_;
};

} // namespace orvo::bench
