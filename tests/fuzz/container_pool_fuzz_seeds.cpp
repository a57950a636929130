// Writes the pool fuzz target's seed corpus: three query bytes, then an unsigned container whose
// records form chains (with cycles, dead ends and a route from the empty content) and layouts of
// several names and versions.
#include "seed_file.h"
#include "support/container_builder.h"

#include <algorithm>
#include <iterator>

using namespace orvo;
using namespace orvo::test;

namespace {

bool write_seed(const char* folder, const char* name, const bytes_t& queries, const container_builder_t& container) {
  return fuzz::write_seed(folder, name, queries, container.unsigned_bytes());
}

hash_bytes_t empty_content() {
  hash_bytes_t bytes;
  std::copy(std::begin(empty_content_hash.bytes), std::end(empty_content_hash.bytes), bytes.begin());
  return bytes;
}

// 1 -> 2 -> 3 -> 4 with a way back from 3 to 1, a dead end at 5, and the empty content to 6.
container_builder_t chains() {
  const hash_bytes_t key_id = hash_of(0x66);
  container_builder_t container;
  container.add(fpat_chunk(hash_of(1), hash_of(2), {hash_of(0xD1)}));
  container.add(fpat_chunk(hash_of(2), hash_of(3), {hash_of(0xD2), hash_of(0xD3)}));
  container.add(fpat_chunk(hash_of(3), hash_of(1), {hash_of(0xD4)}));
  container.add(fpat_chunk(hash_of(2), hash_of(5), {}));
  container.add(fpat_chunk(hash_of(3), hash_of(4), {hash_of(0xD5)}));
  container.add(fpat_chunk(empty_content(), hash_of(6), {hash_of(0xD6)}));
  container.add(keys_chunk({hash_of(0x41)}));
  container.add(diff_chunk(hash_of(0xD1), false, copy_block(bytes_t(64, 0x5A))));
  container.add(diff_chunk(hash_of(0xD2), true, keyed_data(0x66, 80)));
  container.add(meta_chunk(hash_of(0xD3), 80, &key_id));
  container.add(meta_chunk(hash_of(0xD5), 4096));
  container.add(diff_chunk(hash_of(0xD6), false, copy_block(bytes_t(16, 0x11))));
  return container;
}

// A route of 60 records through digests 1 to 61, each digest also leading off into a dead end.
container_builder_t long_route() {
  container_builder_t container;
  for (u8 i = 1; i <= 60; ++i) {
    container.add(fpat_chunk(hash_of(static_cast<u8>(0x80 + i)), hash_of(0x7F), {hash_of(0xEE)}));
    container.add(fpat_chunk(hash_of(i), hash_of(static_cast<u8>(i + 1)), {hash_of(static_cast<u8>(0xA0 + i))}));
  }
  return container;
}

container_builder_t layouts() {
  container_builder_t container;
  container.add(layo_chunk("kora", {layout_entry("bin/win_x86/velmora2.exe", 1)}, {}, {1, 12, 0, 0}));
  container.add(layo_chunk("kora", {layout_entry("bin/win_x86/velmora2.exe", 2), layout_entry("data/a.pak", 3)}, {},
                           {1, 13, 3, 0}));
  container.add(layo_chunk("kora", {layout_entry("data/b.pak", 4)}, {}, {1, 13, 3, 0}));
  container.add(layo_chunk("kora_cfg", {layout_entry("cfg/x.ini", 5)}, hash_of(9), {1, 13, 3, 0}));
  container.add(layo_chunk("kora_cfg", {layout_entry("cfg/x.ini", 6)}, hash_of(10), {2, 0, 0, 0}));
  container.add(layo_chunk("kora.dlc_extra", {layout_entry("dlc/extra.pak", 7)}));
  container.add(fpat_chunk(hash_of(2), hash_of(1), {hash_of(0xD1)}));
  return container;
}

} // namespace

int main(int argc, char** argv) {
  const char* folder = fuzz::seed_folder(argc, argv);
  if (!folder) return 2;
  // Query bytes: from (record 0's source), to (record 4's target), layout (by name, with match).
  bool ok = write_seed(folder, "chains", {0x00, 0x09, 0x86}, chains());
  ok = write_seed(folder, "chains_from_empty", {0xFF, 0x0B, 0x00}, chains()) && ok;
  ok = write_seed(folder, "long_route", {0x02, 0x77, 0x01}, long_route()) && ok;
  ok = write_seed(folder, "layouts", {0x01, 0x00, 0x88}, layouts()) && ok;
  return ok ? 0 : 1;
}
