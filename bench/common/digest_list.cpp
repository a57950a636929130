#include "digest_list.h"

#include <cstdio>
#include <fstream>

namespace orvo::bench {

namespace {

int hex_value(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

// "digest path", the digest in lower-case hexadecimal.
bool parse_line(const std::string& line, listed_file_t& file) {
  const u32 digits = 2 * static_cast<u32>(file.digest.size());
  if (line.size() <= digits + 1 || line[digits] != ' ') return false;
  for (u32 i = 0; i < file.digest.size(); ++i) {
    const int high = hex_value(line[2 * i]), low = hex_value(line[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    file.digest[i] = static_cast<u8>(high << 4 | low);
  }
  file.path = line.substr(digits + 1);
  return true;
}

} // namespace

bool write_digest_list(const std::string& list, const std::vector<listed_file_t>& files) {
  FILE* out = std::fopen(list.c_str(), "w");
  if (!out) return false;
  bool ok = true;
  for (u64 i = 0; i < files.size() && ok; ++i) {
    for (u8 byte : files[i].digest) ok = std::fprintf(out, "%.2x", byte) > 0;
    ok = ok && std::fprintf(out, " %s\n", files[i].path.c_str()) > 0;
  }
  return (std::fclose(out) == 0) && ok;
}

bool read_digest_list(const std::string& list, std::vector<listed_file_t>& files) {
  std::ifstream input(list);
  if (!input) return false;
  files.clear();
  for (std::string line; std::getline(input, line);) {
    listed_file_t file;
    if (!parse_line(line, file)) return false;
    files.push_back(std::move(file));
  }
  return true;
}

} // namespace orvo::bench
