// Writes valid containers as the fuzzer's seed corpus into the folder given.
#include "seed_file.h"
#include "support/container_builder.h"

using namespace orvo::test;

int main(int argc, char** argv) {
  const char* folder = orvo::fuzz::seed_folder(argc, argv);
  if (!folder) return 2;
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
  // The lead byte 1 has the target sign the container with its own key.
  const bool ok = orvo::fuzz::write_seed(folder, "empty", {1}, empty.unsigned_bytes()) &&
                  orvo::fuzz::write_seed(folder, "full", {1}, full.unsigned_bytes());
  return ok ? 0 : 1;
}
