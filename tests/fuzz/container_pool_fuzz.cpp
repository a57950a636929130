// libFuzzer target: the container pool over one fuzzed container, signed with the run's key and
// opened from memory, queried as analysis queries it. Three leading bytes choose the queries:
// the from and to digests of a patch chain (a record's source or target, the empty content, or
// a digest no record names) and the layout looked up. Each answer is checked against a search
// of the records written here.
#include "fuzz_signer.h"
#include "ovutils/ufs/mem_file.h"
#include "patch/container_format.h"
#include "patch/container_pool.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

using namespace orvo;
using namespace orvo::patch;

namespace {

constexpr size_t query_bytes = 3;

bool hash_less(const content_hash_t& a, const content_hash_t& b) { return std::memcmp(a.bytes, b.bytes, 32) < 0; }
using hash_set_t = std::set<content_hash_t, decltype(&hash_less)>;

content_hash_t pick_digest(u8 choice, const array_t<file_patch_record_t>& records) {
  if (choice == 0xFF) return empty_content_hash;
  if (records.size() > 0 && choice < 0xF0) {
    const file_patch_record_t& record = records[(choice >> 1) % records.size()];
    return choice & 1 ? record.target : record.source;
  }
  content_hash_t digest;
  std::memset(digest.bytes, choice, sizeof digest.bytes);
  return digest;
}

// Whether some route of one or more records leads from `from` to `to`.
bool reachable(const array_t<file_patch_record_t>& records, const content_hash_t& from, const content_hash_t& to) {
  hash_set_t seen(&hash_less);
  std::vector<content_hash_t> pending = {from};
  while (!pending.empty()) {
    const content_hash_t digest = pending.back();
    pending.pop_back();
    for (const file_patch_record_t& record : records) {
      if (!(record.source == digest)) continue;
      if (record.target == to) return true;
      if (seen.insert(record.target).second) pending.push_back(record.target);
    }
  }
  return false;
}

// Whether the chain is the diff ids of a route of one or more records from `from` to `to`.
bool is_route(const array_t<file_patch_record_t>& records, const array_t<content_hash_t>& chain,
              const content_hash_t& from, const content_hash_t& to) {
  struct step_t {
    content_hash_t at;
    u32 used;
  };
  std::set<std::pair<std::vector<u8>, u32>> tried;
  std::vector<step_t> pending = {{from, 0}};
  bool first = true;
  while (!pending.empty()) {
    const step_t step = pending.back();
    pending.pop_back();
    if (!first && step.used == chain.size() && step.at == to) return true;
    first = false;
    for (const file_patch_record_t& record : records) {
      if (!(record.source == step.at) || step.used + record.diff_ids.size() > chain.size()) continue;
      bool matches = true;
      for (u32 i = 0; i < record.diff_ids.size() && matches; ++i)
        matches = record.diff_ids[i] == chain[step.used + i];
      const u32 used = step.used + record.diff_ids.size();
      if (matches && tried.insert({std::vector<u8>(record.target.bytes, record.target.bytes + 32), used}).second)
        pending.push_back({record.target, used});
    }
  }
  return false;
}

void check_chain(const container_pool_t& pool, const array_t<file_patch_record_t>& records,
                 const content_hash_t& from, const content_hash_t& to) {
  array_dyn_t<content_hash_t> chain;
  content_hash_t start;
  const bool found = pool.find_patch_chain(chain, from, to, &start);
  const bool expected = reachable(records, from, to) || reachable(records, empty_content_hash, to);
  if (found != expected) std::abort();
  if (!found) return;
  if (!(start == from) && !(start == empty_content_hash)) std::abort();
  if (!is_route(records, chain, start, to)) std::abort();
  for (const content_hash_t& diff_id : chain) {
    u64 size = 0;
    if (pool.has_diff_data(diff_id)) pool.get_diff_output_size(size, diff_id);
  }
}

// The greatest version among the matching layouts, the earliest of equals.
void check_layout(const container_pool_t& pool, const array_t<layout_record_t>& layouts, u8 choice) {
  const layout_record_t* named = layouts.size() > 0 ? &layouts[(choice >> 1) % layouts.size()] : nullptr;
  const char* name = named && !(choice & 1) ? named->name.c_str() : "";
  const content_hash_t* match = named && (choice & 0x80) ? &named->match_hash : nullptr;
  const layout_record_t* expected = nullptr;
  for (const layout_record_t& layout : layouts) {
    if (*name && std::strcmp(layout.name.c_str(), name) != 0) continue;
    if (match && !(layout.match_hash == *match)) continue;
    if (!expected ||
        std::lexicographical_compare(expected->version, expected->version + 4, layout.version, layout.version + 4))
      expected = &layout;
  }
  const layout_record_t* found = pool.find_layout(name, match);
  if (!found != !expected) std::abort();
  if (found && (std::strcmp(found->name.c_str(), expected->name.c_str()) != 0 ||
                std::memcmp(found->version, expected->version, sizeof found->version) != 0 ||
                !(found->match_hash == expected->match_hash) || found->paths.size() != expected->paths.size()))
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size < query_bytes + container_header_size || size > 0x7FFFFFFF) return 0;
  const fuzz::fuzz_signer_t& signer = fuzz::fuzz_signer();
  static array_dyn_t<const rsa_public_key_t*> keys;
  if (keys.empty()) keys.push(&signer.public_key());

  std::vector<u8> container(data + query_bytes, data + size);
  signer.sign(container);
  container_pool_t pool;
  if (pool.add_container(container.data(), static_cast<u32>(container.size()), nullptr, &keys) !=
      container_open_result_t::ok)
    return 0;
  // The records as the reader lists them, for the searches written here.
  container_reader_t reader;
  auto_ptr_t<file_t> file(new mem_file_t(container.data(), static_cast<u32>(container.size())));
  if (reader.open(file, nullptr, &keys) != container_open_result_t::ok) std::abort();

  check_chain(pool, reader.file_patches(), pick_digest(data[0], reader.file_patches()),
              pick_digest(data[1], reader.file_patches()));
  check_layout(pool, reader.layouts(), data[2]);
  return 0;
}
