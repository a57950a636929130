#pragma once
#include "ovcore/types.h"

#include <filesystem>

namespace orvo::publisher {

// What a VCDIFF delta's window headers say, read without decoding any window.
struct delta_outline_t {
  u64 windows = 0;
  u64 target_size = 0;  // sum of the target window lengths
};

// False (logged) when the file cannot be read or its header or window framing is
// malformed or cut short.
bool read_delta_outline(const std::filesystem::path& path, delta_outline_t& out);

} // namespace orvo::publisher
