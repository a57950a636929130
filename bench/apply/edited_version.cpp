#include "edited_version.h"

#include "whole_file.h"

#include <cryptopp/sha.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace orvo::bench {

namespace {

constexpr u64 edit_spacing = 256 << 10;
constexpr u32 longest_edit = 64;

struct edit_kind_t {
  bool removes;  // source bytes at the edit are left out
  bool inserts;  // random bytes are put in
};
constexpr edit_kind_t edit_kinds[] = {{true, true}, {false, true}, {true, false}};  // overwrite, insert, remove
constexpr u32 edit_kind_count = sizeof edit_kinds / sizeof edit_kinds[0];

// One edit at a random place within each stretch of edit_spacing bytes; the last stretch runs
// to the end of the file.
std::vector<u8> edited(const std::vector<u8>& source, xorshift_random_t& random) {
  const u64 size = source.size();
  const u64 edits = std::max<u64>(1, size / edit_spacing);
  std::vector<u8> target;
  target.reserve(size + edits * longest_edit);
  u64 copied_to = 0;
  for (u64 i = 0; i < edits; ++i) {
    const u64 stretch_start = i * edit_spacing;
    const u64 stretch_end = i + 1 == edits ? size : stretch_start + edit_spacing;
    const u64 at = stretch_start + random.next() % (stretch_end - stretch_start - longest_edit);
    const u32 length = 1 + random.below(longest_edit);
    const edit_kind_t& kind = edit_kinds[random.below(edit_kind_count)];
    target.insert(target.end(), source.begin() + copied_to, source.begin() + at);
    copied_to = kind.removes ? at + length : at;
    if (!kind.inserts) continue;
    target.resize(target.size() + length);
    random.fill(target.data() + target.size() - length, length);
  }
  target.insert(target.end(), source.begin() + copied_to, source.end());
  return target;
}

} // namespace

bool write_edited_version(const std::filesystem::path& source, const std::filesystem::path& target,
                          xorshift_random_t& random, sha256_digest_t& digest) {
  const std::vector<u8> original = read_whole_file(source.string());
  if (original.size() <= longest_edit) return false;
  const std::vector<u8> content = edited(original, random);
  CryptoPP::SHA256().CalculateDigest(digest.data(), content.data(), content.size());
  std::error_code error;
  std::filesystem::create_directories(target.parent_path(), error);
  FILE* file = std::fopen(target.string().c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  return (std::fclose(file) == 0) && written;
}

} // namespace orvo::bench
