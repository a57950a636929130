#include "chain_queries.h"

#include "xorshift_random.h"

#include <cstring>

namespace orvo::bench {

namespace {

content_hash_t content_hash_of(const digest_t& digest) {
  content_hash_t hash;
  std::memcpy(hash.bytes, digest.data(), sizeof hash.bytes);
  return hash;
}

// The route through the file patches first .. last, which follow one another.
chain_query_t route_query(const scale_records_t& records, u32 first, u32 last) {
  const std::vector<planned_file_patch_t>& patches = records.file_patches();
  chain_query_t query{content_hash_of(patches[first].source), content_hash_of(patches[last].target), true, {}};
  for (u32 record = first; record <= last; ++record)
    for (const digest_t& id : patches[record].diff_ids) query.diff_ids.push_back(content_hash_of(id));
  return query;
}

chain_query_t missing_query(const digest_t& from, const digest_t& to) {
  return {content_hash_of(from), content_hash_of(to), false, {}};
}

class query_maker_t {
public:
  explicit query_maker_t(const scale_records_t& records) : records_(records) {
    for (const patch_chain_t& chain : records.short_chains())
      if (chain.steps > 1) multi_step_short_chains_.push_back(chain);
  }

  chain_query_t make(u32 index) {
    switch (index % 6) {
    case 0:
    case 3: return direct();
    case 1: return along_long_chain();
    case 4: return along_short_chain();
    case 2: return to_unknown_version(index);
    default: return backwards();
    }
  }

private:
  const patch_chain_t& pick(const std::vector<patch_chain_t>& chains) {
    return chains[random_.below(static_cast<u32>(chains.size()))];
  }

  chain_query_t direct() {
    const u32 record = random_.below(records_.record_count());
    return route_query(records_, record, record);
  }

  // From step a to step b, at least two steps on.
  chain_query_t along_long_chain() {
    const patch_chain_t& chain = pick(records_.long_chains());
    const u32 a = random_.below(chain.steps - 1);
    const u32 b = a + 2 + random_.below(chain.steps - a - 1);
    return route_query(records_, chain.first_record + a, chain.first_record + b - 1);
  }

  chain_query_t along_short_chain() {
    const patch_chain_t& chain = pick(multi_step_short_chains_);
    return route_query(records_, chain.first_record, chain.first_record + chain.steps - 1);
  }

  chain_query_t to_unknown_version(u32 index) {
    const patch_chain_t& chain = pick(records_.short_chains());
    return missing_query(records_.file_patches()[chain.first_record].source, scale_records_t::unknown_version(index));
  }

  // From the version at step b back to the one at step a.
  chain_query_t backwards() {
    const patch_chain_t& chain = pick(records_.long_chains());
    const u32 a = random_.below(chain.steps - 1);
    const u32 b = a + 1 + random_.below(chain.steps - a - 1);
    const std::vector<planned_file_patch_t>& patches = records_.file_patches();
    return missing_query(patches[chain.first_record + b].source, patches[chain.first_record + a].source);
  }

  const scale_records_t& records_;
  std::vector<patch_chain_t> multi_step_short_chains_;
  xorshift_random_t random_{0x2545F4914F6CDD1Dull};
};

} // namespace

std::vector<chain_query_t> make_chain_queries(const scale_records_t& records, u32 count) {
  query_maker_t maker(records);
  std::vector<chain_query_t> queries;
  queries.reserve(count);
  for (u32 i = 0; i < count; ++i) queries.push_back(maker.make(i));
  return queries;
}

} // namespace orvo::bench
