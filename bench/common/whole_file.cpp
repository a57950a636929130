#include "whole_file.h"

#include <fstream>
#include <iterator>

namespace orvo::bench {

std::vector<u8> read_whole_file(const std::string& path) {
  std::ifstream input(path, std::ios::binary);
  return std::vector<u8>(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
}

} // namespace orvo::bench
