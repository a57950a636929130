#pragma once
#include "xorshift_random.h"

#include <array>
#include <filesystem>

namespace orvo::bench {

using sha256_digest_t = std::array<u8, 32>;

// Writes size bytes of the random stream to path, creating its folders, and their SHA-256 to
// digest.
bool write_random_file(const std::filesystem::path& path, u64 size, xorshift_random_t& random,
                       sha256_digest_t& digest);

} // namespace orvo::bench
