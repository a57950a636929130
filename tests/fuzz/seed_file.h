#pragma once
// For the seed programs, which write their inputs into the corpus folder named on their command
// line.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace orvo::fuzz {

using seed_bytes_t = std::vector<uint8_t>;

// Writes lead, then body, as folder/name.
inline bool write_seed(const std::string& folder, const char* name, const seed_bytes_t& lead, const seed_bytes_t& body) {
  std::FILE* file = std::fopen((folder + "/" + name).c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(lead.data(), 1, lead.size(), file) == lead.size() &&
                       std::fwrite(body.data(), 1, body.size(), file) == body.size();
  return std::fclose(file) == 0 && written;
}

// The corpus folder, or null after printing the usage.
inline const char* seed_folder(int argc, char** argv) {
  if (argc == 2) return argv[1];
  std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
  return nullptr;
}

} // namespace orvo::fuzz
