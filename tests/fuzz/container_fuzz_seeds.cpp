// Writes valid containers as the fuzzer's seed corpus into the directory given.
#include "support/container_builder.h"

#include <cstdio>
#include <string>

using namespace orvo::test;

namespace {

bool write_seed(const std::string& path, const bytes_t& container) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const unsigned char resign = 1;
  const bool written = std::fwrite(&resign, 1, 1, file) == 1 &&
                       std::fwrite(container.data(), 1, container.size(), file) == container.size();
  return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const test_key_t& key = test_key_4096();
  const hash_bytes_t key_id = hash_of(0x66);
  const bytes_t keyed = keyed_data(0x66, 80);

  container_builder_t empty;
  container_builder_t full;
  full.add(layo_chunk("base", {layout_entry("bin/win_x86/velmora2.exe", 1), layout_entry("data/a.pak", 2)}));
  full.add(layo_chunk("base_cfg.ktl", {layout_entry("cfg/x.ini", 3)}, hash_of(9), {1, 12, 0, 0}));
  full.add(fpat_chunk(hash_of(1), hash_of(4), {hash_of(0xD1), hash_of(0xD2)}));
  full.add(keys_chunk({hash_of(0x41)}));
  full.add(meta_chunk(hash_of(0xD2), 80, &key_id));
  full.add(diff_chunk(hash_of(0xD1), false, copy_block(bytes_t(64, 0x5A))));
  full.add(diff_chunk(hash_of(0xD2), true, keyed));
  full.add(chunk("ZZZZ", bytes_t(8, 0)));
  const bool ok = write_seed(dir + "/empty", empty.signed_bytes(key)) && write_seed(dir + "/full", full.signed_bytes(key));
  return ok ? 0 : 1;
}
