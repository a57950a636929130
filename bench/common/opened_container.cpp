#include "opened_container.h"

#include "whole_file.h"

#include <cstdio>

namespace orvo::bench {

bool opened_container_t::open(const std::string& container, const std::string& public_key) {
  bytes_ = read_whole_file(container);
  if (bytes_.empty() || !key_.load(public_key)) {
    std::fprintf(stderr, "cannot read the container or the key\n");
    return false;
  }
  const patch::container_open_result_t opened =
      pool_.add_container(bytes_.data(), static_cast<u32>(bytes_.size()), nullptr, key_.keys());
  if (opened == patch::container_open_result_t::ok) return true;
  std::fprintf(stderr, "container refused: %s\n", patch::container_open_result_name(static_cast<u32>(opened)));
  return false;
}

} // namespace orvo::bench
