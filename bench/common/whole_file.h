#pragma once
#include "ovcore/types.h"

#include <string>
#include <vector>

namespace orvo::bench {

// The file's bytes; empty when it cannot be read.
std::vector<u8> read_whole_file(const std::string& path);

} // namespace orvo::bench
