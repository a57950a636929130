#pragma once
#include "random_file.h"

#include <functional>
#include <string>
#include <vector>

namespace orvo::bench {

// The game installation the patch benchmarks start from: 500 files, 2 GiB in all, 50 to a folder.
// File sizes grow with the fourth power of their rank (many small files, a few of about 20 MiB),
// shuffled so that large and small files alternate; the content is random.
constexpr u32 sample_file_count = 500;
constexpr u64 sample_installation_size = u64{2} << 30;

// Relative path of file index, '/' separators.
std::string sample_file_path(u32 index);

// Writes every file under folder_of(index), in index order from one random stream, so that the
// same file always gets the same content; digests receives their SHA-256.
bool write_sample_files(const std::function<std::string(u32 index)>& folder_of,
                        std::vector<sha256_digest_t>& digests);

} // namespace orvo::bench
