#pragma once
#include "patch/container_pool.h"
#include "public_key_file.h"

#include <string>
#include <vector>

namespace orvo::bench {

// A container file read into memory and added to a pool, a public key file its only key: how
// the updater holds its container while it analyses and applies.
class opened_container_t {
public:
  // False, with the reason on stderr, when a file cannot be read or the pool refuses the container.
  bool open(const std::string& container, const std::string& public_key);
  const patch::container_pool_t& pool() const { return pool_; }

private:
  // The pool reads the bytes in place: declared after them, it goes first.
  std::vector<u8> bytes_;
  public_key_file_t key_;
  patch::container_pool_t pool_;
};

} // namespace orvo::bench
