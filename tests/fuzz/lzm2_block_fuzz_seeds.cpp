// Writes .xz streams as the LZM2 block fuzz target's seed corpus, each behind a lead byte.
#include "seed_file.h"

#include <lzma.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using bytes_t = std::vector<uint8_t>;

bytes_t xz(const bytes_t& plain, uint32_t preset, lzma_check check) {
  bytes_t out(plain.size() + plain.size() / 2 + 4096);
  size_t size = 0;
  if (lzma_easy_buffer_encode(preset, check, nullptr, plain.data(), plain.size(), out.data(), &size, out.size()) !=
      LZMA_OK)
    return {};
  out.resize(size);
  return out;
}

} // namespace

int main(int argc, char** argv) {
  const char* folder = orvo::fuzz::seed_folder(argc, argv);
  if (!folder) return 2;
  const std::string text = "The quick brown fox jumps over the lazy dog. ";
  bytes_t prose;
  for (int i = 0; i < 40; ++i) prose.insert(prose.end(), text.begin(), text.end());
  bytes_t records(3000);
  for (size_t i = 0; i < records.size(); ++i) records[i] = static_cast<uint8_t>(i % 16 == 0 ? i * 37 >> 4 : i % 5);
  bytes_t trailing = xz(prose, 1, LZMA_CHECK_CRC32);
  trailing.insert(trailing.end(), {'e', 'x', 't', 'r', 'a'});

  bool ok = orvo::fuzz::write_seed(folder, "empty", {0}, xz({}, 0, LZMA_CHECK_NONE));
  ok = orvo::fuzz::write_seed(folder, "prose_crc64", {0}, xz(prose, 6, LZMA_CHECK_CRC64)) && ok;
  ok = orvo::fuzz::write_seed(folder, "records_sha256", {16}, xz(records, 1, LZMA_CHECK_SHA256)) && ok;
  ok = orvo::fuzz::write_seed(folder, "trailing_bytes", {3}, trailing) && ok;
  return ok ? 0 : 1;
}
