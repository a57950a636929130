#pragma once
#include "random_file.h"

#include <string>
#include <vector>

namespace orvo::bench {

struct listed_file_t {
  sha256_digest_t digest;
  std::string path;
};

// One "digest path" line per file, the digest in lower case as openssl dgst -r prints it.
bool write_digest_list(const std::string& list, const std::vector<listed_file_t>& files);
// Reads what write_digest_list wrote; false when the list is missing or malformed.
bool read_digest_list(const std::string& list, std::vector<listed_file_t>& files);

} // namespace orvo::bench
