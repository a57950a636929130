#include "tools/publisher/content_hash.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/file_io.h"

#include <cryptopp/sha.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace orvo::publisher {

std::string to_hex(const u8* data, size_t size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text(size * 2, '0');
  for (size_t i = 0; i < size; ++i) {
    text[2 * i] = digits[data[i] >> 4];
    text[2 * i + 1] = digits[data[i] & 15];
  }
  return text;
}

namespace {

int hex_digit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

} // namespace

bool parse_hex(std::string_view text, u8* out, size_t size) {
  if (text.size() != size * 2) return false;
  for (size_t i = 0; i < size; ++i) {
    const int high = hex_digit(text[2 * i]);
    const int low = hex_digit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    out[i] = static_cast<u8>(high << 4 | low);
  }
  return true;
}

content_hash_t empty_content_hash() {
  content_hash_t hash;
  std::memcpy(hash.data(), orvo::empty_content_hash.bytes, hash.size());
  return hash;
}

bool compute_file_hash(const std::filesystem::path& file, content_hash_t& out) {
  std::ifstream input(file, std::ios::binary);
  if (!input) {
    log_error("[ERR] Unable to open '%s'", path_text(file).c_str());
    return false;
  }
  CryptoPP::SHA256 sha;
  std::vector<u8> buffer(hash_chunk_size);
  for (;;) {
    input.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize got = input.gcount();
    if (got > 0) sha.Update(buffer.data(), static_cast<size_t>(got));
    if (input.eof()) break;
    if (!input) {
      log_error("[ERR] Error while reading '%s'", path_text(file).c_str());
      return false;
    }
  }
  sha.Final(out.data());
  return true;
}

} // namespace orvo::publisher
