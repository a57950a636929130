// The container pool's look-ups over containers from the publisher's writer.
#include "analysis_support.h"

#include "ovcore/ufs/file_system.h"

namespace orvo::analysis {
namespace {

using layout_spec_t = container_spec_t::layout_t;
using patch_spec_t = container_spec_t::patch_t;

layout_spec_t layout(const std::string& name, std::array<u32, 4> version, const std::string& marker,
                     std::optional<content_hash_t> match = {}) {
  layout_spec_t spec = layout_of(name, {{marker, digest_named('m')}}, version);
  spec.match_hash = match;
  return spec;
}

// The marker path identifies which record a look-up returned.
std::string marker_of(const patch::layout_record_t* record) {
  return record ? std::string(record->paths[0].path) : "none";
}

struct layout_case_t {
  const char* what;
  std::vector<std::vector<layout_spec_t>> containers;
  const char* name;
  std::optional<content_hash_t> match;
  const char* expected;
};

using pool_layout_test = analysis_test_t;

TEST_F(pool_layout_test, greatest_version_wins_and_the_earliest_among_equals) {
  const content_hash_t cfg = digest_named('c');
  const layout_case_t cases[] = {
      {"newer second", {{layout("kora", {1, 12, 1, 0}, "old"), layout("kora", {1, 13, 3, 0}, "new")}}, "kora", {},
       "new"},
      {"newer first", {{layout("kora", {1, 13, 3, 0}, "new"), layout("kora", {1, 12, 1, 0}, "old")}}, "kora", {},
       "new"},
      {"equal versions", {{layout("kora", {1, 13, 3, 0}, "first"), layout("kora", {1, 13, 3, 0}, "second")}},
       "kora", {}, "first"},
      {"later words decide", {{layout("kora", {1, 13, 3, 1}, "build1"), layout("kora", {1, 13, 3, 2}, "build2")}},
       "kora", {}, "build2"},
      {"empty name matches all",
       {{layout("kora", {1, 13, 3, 0}, "base"), layout("kora.dlc_x", {2, 0, 0, 0}, "dlc")}}, "", {}, "dlc"},
      {"other names ignored", {{layout("kora.dlc_x", {2, 0, 0, 0}, "dlc")}}, "kora", {}, "none"},
      {"match hash selects",
       {{layout("kora_cfg", {9, 0, 0, 0}, "other", digest_named('o')), layout("kora_cfg", {1, 0, 0, 0}, "ours", cfg)}},
       "kora_cfg", cfg, "ours"},
      {"match hash without a match", {{layout("kora_cfg", {1, 0, 0, 0}, "other", digest_named('o'))}}, "kora_cfg",
       cfg, "none"},
      {"second container newer",
       {{layout("kora", {1, 12, 1, 0}, "one")}, {layout("kora", {1, 13, 3, 0}, "two")}}, "kora", {}, "two"},
      {"equal across containers",
       {{layout("kora", {1, 13, 3, 0}, "one")}, {layout("kora", {1, 13, 3, 0}, "two")}}, "kora", {}, "one"},
  };
  for (const layout_case_t& c : cases) {
    SCOPED_TRACE(c.what);
    reset_pool();
    for (const auto& layouts : c.containers) ASSERT_NO_FATAL_FAILURE(add_container(spec_of(layouts)));
    EXPECT_EQ(marker_of(pool.find_layout(c.name, c.match ? &*c.match : nullptr)), c.expected);
  }
}

struct chain_case_t {
  const char* what;
  std::vector<patch_spec_t> records;
  char from;
  std::vector<char> expected;  // diff names; "no chain" when absent
  bool found = true;
  char start = 0;  // the digest the chain starts from, when it is not `from`
};

content_hash_t h(char name) { return name == 'E' ? empty_content_hash : digest_named(name); }

patch_spec_t record(char source, char target, std::vector<char> diffs) {
  patch_spec_t spec{h(source), h(target), {}};
  for (char diff : diffs) spec.diff_ids.push_back(digest_named(diff));
  return spec;
}

using pool_chain_test = analysis_test_t;

TEST_F(pool_chain_test, chains_follow_the_first_route_found) {
  const chain_case_t cases[] = {
      {"direct", {record('X', 'Z', {'a'})}, 'X', {'a'}},
      {"through an intermediate", {record('X', 'Y', {'a', 'b'}), record('Y', 'Z', {'c'})}, 'X', {'a', 'b', 'c'}},
      {"two direct records", {record('X', 'Z', {'a'}), record('X', 'Z', {'b'})}, 'X', {'a'}},
      {"direct stored after a route",
       {record('X', 'Y', {'a'}), record('Y', 'Z', {'b'}), record('X', 'Z', {'c'})}, 'X', {'c'}},
      {"depth first",
       {record('X', 'Y', {'a'}), record('Y', 'W', {'b'}), record('W', 'Z', {'c'}), record('X', 'V', {'d'}),
        record('V', 'Z', {'e'})},
       'X', {'a', 'b', 'c'}},
      {"dead end, then the next record",
       {record('X', 'Y', {'a'}), record('X', 'V', {'d'}), record('V', 'Z', {'e'})}, 'X', {'d', 'e'}},
      {"cycle without a way out", {record('X', 'Y', {'a'}), record('Y', 'X', {'b'})}, 'X', {}, false},
      {"cycle, then from the empty content",
       {record('X', 'Y', {'a'}), record('Y', 'X', {'b'}), record('E', 'Z', {'e'})}, 'X', {'e'}, true, 'E'},
      {"no record for the present content", {record('E', 'Y', {'a'}), record('Y', 'Z', {'b'})}, 'Q', {'a', 'b'},
       true, 'E'},
      {"from the empty content without a route", {record('X', 'Z', {'a'})}, 'E', {}, false},
      {"a record of no diffs", {record('X', 'Z', {})}, 'X', {}},
  };
  for (const chain_case_t& c : cases) {
    SCOPED_TRACE(c.what);
    reset_pool();
    ASSERT_NO_FATAL_FAILURE(add_container(spec_of({layout("kora", {1, 0, 0, 0}, "x")}, c.records)));
    array_dyn_t<content_hash_t> chain;
    content_hash_t start{};
    ASSERT_EQ(pool.find_patch_chain(chain, h(c.from), h('Z'), &start), c.found);
    std::vector<content_hash_t> expected;
    for (char diff : c.expected) expected.push_back(digest_named(diff));
    EXPECT_EQ(std::vector<content_hash_t>(chain.begin(), chain.end()), expected);
    if (c.found) {
      EXPECT_EQ(start, h(c.start ? c.start : c.from));
    }
  }
}

// Records of one source spread over containers are tried in pool order, then chunk order.
TEST_F(pool_chain_test, records_of_later_containers_follow_in_pool_order) {
  ASSERT_NO_FATAL_FAILURE(add_container(
      spec_of({layout("kora", {1, 0, 0, 0}, "x")}, {record('V', 'Z', {'f'}), record('X', 'Y', {'a'})})));
  ASSERT_NO_FATAL_FAILURE(
      add_container(spec_of({}, {record('X', 'V', {'d'}), record('Y', 'Z', {'e'}), record('X', 'Z', {'g'})})));
  ASSERT_NO_FATAL_FAILURE(add_container(spec_of({}, {record('X', 'Z', {'h'}), record('Y', 'Q', {'i'})})));
  struct case_t {
    char from, to;
    std::vector<char> expected;
  };
  const case_t cases[] = {{'X', 'Z', {'g'}}, {'X', 'Q', {'a', 'i'}}, {'V', 'Z', {'f'}}, {'Y', 'Z', {'e'}}};
  for (const case_t& c : cases) {
    SCOPED_TRACE(std::string(1, c.from) + c.to);
    array_dyn_t<content_hash_t> chain;
    ASSERT_TRUE(pool.find_patch_chain(chain, h(c.from), h(c.to)));
    std::vector<content_hash_t> expected;
    for (char diff : c.expected) expected.push_back(digest_named(diff));
    EXPECT_EQ(std::vector<content_hash_t>(chain.begin(), chain.end()), expected);
  }
}

// A chain far longer than any call stack could follow recursively.
TEST_F(pool_chain_test, a_long_chain_is_searched_without_recursion) {
  constexpr u32 length = 20000;
  auto step = [](u32 i) {
    content_hash_t hash = digest_named('s');
    std::memcpy(hash.bytes, &i, sizeof i);
    return hash;
  };
  container_spec_t spec = spec_of({layout("kora", {1, 0, 0, 0}, "x")});
  // Stored in reverse, so that every step of the search looks its next record up.
  for (u32 i = length; i-- > 0;) spec.patches.push_back({step(i), step(i + 1), {step(i)}});
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  array_dyn_t<content_hash_t> chain;
  ASSERT_TRUE(pool.find_patch_chain(chain, step(0), step(length)));
  ASSERT_EQ(chain.size(), length);
  EXPECT_EQ(chain[length - 1], step(length - 1));
}

publisher::aes_key_t key_bytes(u8 first) {
  publisher::aes_key_t key;
  for (u32 i = 0; i < 32; ++i) key[i] = static_cast<u8>(first + i);
  return key;
}

using pool_diff_test = analysis_test_t;

TEST_F(pool_diff_test, data_sizes_and_keys_are_found_across_containers) {
  static const publisher::aes_key_t key = key_bytes(7), missing_key = key_bytes(9);
  container_spec_t first = spec_of({layout("kora", {1, 0, 0, 0}, "x")});
  first.diffs = {{digest_named('p'), 100},
                 {digest_named('m'), 0, true},
                 {digest_named('k'), 50, false, &key},
                 {digest_named('n'), 50, false, &missing_key}};
  ASSERT_NO_FATAL_FAILURE(add_container(first));
  container_spec_t second;
  second.keys = {key};
  second.diffs = {{digest_named('q'), 0x140000000ull}};
  ASSERT_NO_FATAL_FAILURE(add_container(second));

  struct case_t {
    char diff;
    bool has_data;
    patch::diff_size_result_t size_result;
    u64 size;
    // The extraction result where it is decided before decoding.
    std::optional<patch::extract_diff_result_t> extract_result;
  };
  using size_result_t = patch::diff_size_result_t;
  using extract_t = patch::extract_diff_result_t;
  const case_t cases[] = {
      {'p', true, size_result_t::ok, 100, {}},
      {'q', true, size_result_t::ok, 0x140000000ull, {}},
      {'m', false, size_result_t::not_found, ~u64(0), extract_t::not_found},
      {'a', false, size_result_t::not_found, ~u64(0), extract_t::not_found},
      // The key lies in the second container; keyed content has no readable size and is refused.
      {'k', true, size_result_t::ok, ~u64(0), extract_t::internal_error},
      // Its key is in no container.
      {'n', true, size_result_t::no_key, ~u64(0), extract_t::no_key},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.diff);
    EXPECT_EQ(pool.has_diff_data(digest_named(c.diff)), c.has_data);
    u64 size = 0;
    EXPECT_EQ(pool.get_diff_output_size(size, digest_named(c.diff)), c.size_result);
    EXPECT_EQ(size, c.size);
    if (!c.extract_result) continue;
    auto_ptr_t<file_t> output(new interop::vector_file_t("out"));
    EXPECT_EQ(pool.extract_diff(output, nullptr, digest_named(c.diff), nullptr), *c.extract_result);
  }
  EXPECT_TRUE(logged("[ERR] Encryption is currently not supported"));
}

TEST_F(pool_diff_test, a_refused_container_leaves_the_pool_unchanged) {
  const bytes_t garbage(700, 0x41);
  EXPECT_EQ(pool.add_container(garbage.data(), static_cast<u32>(garbage.size()), nullptr, nullptr),
            patch::container_open_result_t::not_container);
  EXPECT_EQ(pool.container_count(), 0u);
  array_dyn_t<content_hash_t> chain;
  u64 size = 0;
  EXPECT_EQ(pool.find_layout("", nullptr), nullptr);
  EXPECT_FALSE(pool.find_patch_chain(chain, h('X'), h('Z')));
  EXPECT_FALSE(pool.has_diff_data(h('X')));
  EXPECT_EQ(pool.get_diff_output_size(size, h('X')), patch::diff_size_result_t::not_found);
}

} // namespace
} // namespace orvo::analysis
