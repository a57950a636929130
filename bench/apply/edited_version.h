#pragma once
#include "random_file.h"

#include <filesystem>

namespace orvo::bench {

// Writes to target the source with small edits, one in every 256 KiB (at least one): 1 to 64
// bytes overwritten, inserted or removed, so that later content shifts; digest receives the
// target's SHA-256.
bool write_edited_version(const std::filesystem::path& source, const std::filesystem::path& target,
                          xorshift_random_t& random, sha256_digest_t& digest);

} // namespace orvo::bench
