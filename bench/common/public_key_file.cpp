#include "public_key_file.h"

#include "whole_file.h"

namespace orvo::bench {

bool public_key_file_t::load(const std::string& path) {
  der_ = read_whole_file(path);
  if (der_.empty()) return false;
  key_ = {"bench", false, der_.data(), static_cast<u32>(der_.size())};
  keys_.clear();
  return keys_.push(&key_);
}

} // namespace orvo::bench
