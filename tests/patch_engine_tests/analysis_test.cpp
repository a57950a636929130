// Patch analysis of real installations against containers from the publisher's writer.
#include "analysis_support.h"

#include "ovcore/platform/file_name_case.h"
#include "ovcore/ufs/file_system.h"
#include "patch/analyze_patch.h"
#include "patch/installation_layout.h"

namespace orvo::analysis {
namespace {

using result_t = patch::analyze_patch_result_t;
using action_t = patch::patch_action_t;
using diff_spec_t = container_spec_t::diff_t;

constexpr u64 gib = 1ull << 30;

struct expected_record_t {
  std::string path;
  action_t action;
  std::vector<content_hash_t> chain = {};
  u64 required_space = patch::space_unknown;
  bool source_open = false;
};

class analysis_test : public analysis_test_t {
protected:
  result_t analyze(progress_callback_t* callback = nullptr) {
    return patch::analyze_installation(results, pool, install_dir().c_str(), callback);
  }

  void expect_records(const std::vector<expected_record_t>& expected) {
    ASSERT_EQ(results.size(), expected.size());
    for (u32 i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(expected[i].path);
      const patch::file_patching_info_t& info = *results[i];
      EXPECT_EQ(std::string(info.path.c_str()), install_dir() + "/" + expected[i].path);
      EXPECT_EQ(info.action, expected[i].action);
      EXPECT_EQ(std::vector<content_hash_t>(info.chain.begin(), info.chain.end()), expected[i].chain);
      if (expected[i].action == action_t::patch) {
        EXPECT_EQ(info.required_space, expected[i].required_space);
      }
      EXPECT_EQ(static_cast<bool>(info.source_file), expected[i].source_open);
      EXPECT_FALSE(info.output_file);
    }
  }

  array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> results;
};

content_hash_t d(char name) { return digest_named(name); }

std::string numbered_file(u32 i) {
  char name[16];
  std::snprintf(name, sizeof name, "f%u", 100 + i);
  return name;
}

TEST_F(analysis_test, every_action_with_its_chain_space_and_log) {
  write_file("zero.bin", "");
  write_file("same.bin", "same");
  write_file("old.bin", "old");
  write_file("fallback.bin", "modded");
  write_file("sub/chain.bin", "v1");
  container_spec_t spec;
  spec.layouts = {layout_of("kora",
                   {{"del.bin", zero_content_hash},
                    {"zero.bin", empty_content_hash},
                    {"same.bin", digest_of("same")},
                    {"old.bin", d('T')},
                    {"new.bin", d('N')},
                    {"fallback.bin", d('F')},
                    {"sub/chain.bin", d('Z')}})};
  spec.patches = {{digest_of("old"), d('T'), {d('1')}},
                  {empty_content_hash, d('N'), {d('2')}},
                  {empty_content_hash, d('F'), {d('3')}},
                  {digest_of("v1"), d('Y'), {d('4')}},
                  {d('Y'), d('Z'), {d('5')}}};
  spec.diffs = {{d('1'), 1000}, {d('2'), 7}, {d('3'), 5 * gib}, {d('4'), 100}, {d('5'), 40}};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));

  ASSERT_EQ(analyze(), result_t::ok);
  ASSERT_NO_FATAL_FAILURE(expect_records({
      {"del.bin", action_t::delete_file},
      {"zero.bin", action_t::set_to_zero},
      {"same.bin", action_t::unchanged},
      {"old.bin", action_t::patch, {d('1')}, 1000, true},
      {"new.bin", action_t::patch, {d('2')}, 7, false},
      // Rebuilt from nothing: the installed file is not passed on.
      {"fallback.bin", action_t::patch, {d('3')}, 5 * gib, false},
      {"sub/chain.bin", action_t::patch, {d('4'), d('5')}, 140, true},
  }));
  const std::string empty = hex(empty_content_hash);
  EXPECT_EQ(lines_starting({"Analy", "  ", "[", "<"}),
            (std::vector<std::string>{
                "Analyzing patch",
                "  File 'del.bin' " + hex(zero_content_hash),
                "    Result: Delete",
                "  File 'zero.bin' " + empty,
                "    Result: Set to zero",
                "  File 'same.bin' " + hex(digest_of("same")),
                "    Result: Unchanged",
                "  File 'old.bin' " + hex(d('T')),
                "    Result: Patch " + hex(digest_of("old")) + " -> " + hex(d('T')),
                "      " + hex(d('1')),
                "  File 'new.bin' " + hex(d('N')),
                "    Result: Patch " + empty + " -> " + hex(d('N')),
                "      " + hex(d('2')),
                "  File 'fallback.bin' " + hex(d('F')),
                "    Result: Patch " + hex(digest_of("modded")) + " -> " + hex(d('F')),
                "      " + hex(d('3')),
                "  File 'sub/chain.bin' " + hex(d('Z')),
                "    Result: Patch " + hex(digest_of("v1")) + " -> " + hex(d('Z')),
                "      " + hex(d('4')),
                "      " + hex(d('5')),
                "Analysis completed",
            }));
  // 10 MiB, 300 KiB for each of six changes, and the rebuilds' space.
  EXPECT_EQ(patch::get_required_free_space(results), 0xA00000 + 6 * 0x4B000 + 1000 + 7 + 5 * gib + 140);
  EXPECT_TRUE(patch::is_patch_necessary(results));
}

using patch_spec_t = container_spec_t::patch_t;

struct failure_case_t {
  const char* what;
  std::vector<patch_spec_t> patches;
  std::vector<diff_spec_t> diffs;
  result_t result;
  std::string error;
};

TEST_F(analysis_test, failures_stop_at_the_entry_and_keep_earlier_records) {
  write_file("game.exe", "v1");
  static const publisher::aes_key_t key = {1, 2, 3};
  const std::string v1 = hex(digest_of("v1")), target = hex(d('T'));
  const failure_case_t cases[] = {
      {"no chain", {}, {}, result_t::diff_chain_missing,
       "[ERR] Unable to find patch chain between " + v1 + " and " + target},
      {"an empty chain", {{digest_of("v1"), d('T'), {}}}, {}, result_t::diff_chain_missing,
       "[ERR] Empty chain between " + v1 + " and " + target},
      {"a diff in no container", {{digest_of("v1"), d('T'), {d('1')}}}, {}, result_t::diff_missing,
       "[ERR] Patch " + hex(d('1')) + " not found"},
      {"a diff declared only", {{digest_of("v1"), d('T'), {d('1')}}}, {{d('1'), 0, true}}, result_t::diff_missing,
       "[ERR] Patch " + hex(d('1')) + " not found"},
      {"a size nobody knows", {{digest_of("v1"), d('T'), {d('1')}}}, {{d('1'), ~u64(0)}}, result_t::internal_error,
       "[ERR] Unknown result size"},
      {"a keyed diff without its key", {{digest_of("v1"), d('T'), {d('1')}}}, {{d('1'), 10, false, &key}},
       result_t::internal_error, "[ERR] No key provided"},
  };
  for (const failure_case_t& c : cases) {
    SCOPED_TRACE(c.what);
    reset_pool();
    container_spec_t spec;
    spec.layouts = {layout_of("kora", {{"old.dat", zero_content_hash}, {"game.exe", d('T')}, {"x", d('X')}})};
    spec.patches = c.patches;
    spec.diffs = c.diffs;
    ASSERT_NO_FATAL_FAILURE(add_container(spec));
    results.clear();
    log_lines.clear();
    EXPECT_EQ(analyze(), c.result);
    ASSERT_NO_FATAL_FAILURE(expect_records({{"old.dat", action_t::delete_file}}));
    EXPECT_EQ(lines_starting({"[ERR]"}), std::vector<std::string>{c.error});
    EXPECT_FALSE(logged("File 'x'"));
  }
}

patch::layout_path_t entry(const char* root, const char* path, const content_hash_t& hash) {
  patch::layout_path_t out{};
  std::memcpy(out.root, root, 4);
  std::strncpy(out.path, path, sizeof out.path - 1);
  out.hash = hash;
  return out;
}

// Layouts handed over directly: roots the container format cannot carry, a listing that no
// longer matches the disk.
TEST_F(analysis_test, entries_the_disk_or_the_root_refuse) {
  struct case_t {
    const char* what;
    patch::layout_path_t bad;
    result_t result;
    std::string error;
  };
  const std::string vanished = install_dir() + "/vanished.bin";
  const case_t cases[] = {
      {"another root", entry("XXXX", "a.bin", d('T')), result_t::unsupported_root,
       "[ERR] Requested root 58585858 while only APPLICATION is supported"},
      {"a listed file that vanished", entry("APPL", "vanished.bin", d('T')), result_t::file_open_failed,
       "[ERR] Unable to open file '" + vanished + "'"},
  };
  array_dyn_t<string_dyn_t> installed;
  installed.push(string_dyn_t("vanished.bin"));
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.what);
    array_dyn_t<patch::layout_path_t> layout;
    layout.push(entry("APPL", "gone.bin", zero_content_hash));
    layout.push(c.bad);
    results.clear();
    log_lines.clear();
    EXPECT_EQ(patch::analyze_patch(results, layout, installed, pool, install_dir().c_str(), nullptr), c.result);
    EXPECT_EQ(results.size(), 1u);
    const std::vector<std::string> errors = lines_starting({"[ERR]"});
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back(), c.error);
  }
}

// A path that two layouts list: the same target once more is nothing to do, another target is an
// error (two rebuilds of one file would share temporaries and move twice).
TEST_F(analysis_test, a_path_listed_twice) {
  write_file("shared.bin", "v1");
  struct case_t {
    const char* what;
    const char* second_path;
    content_hash_t second_target;
    bool same_file;
    result_t result;
  };
  const bool ignore_case = platform::file_names_ignore_case();
  const case_t cases[] = {
      {"same target", "shared.bin", d('T'), true, result_t::ok},
      {"other target", "shared.bin", d('U'), true, result_t::internal_error},
      {"other case, same target", "SHARED.bin", d('T'), ignore_case, result_t::ok},
      {"other case, other target", "SHARED.bin", d('U'), ignore_case,
       ignore_case ? result_t::internal_error : result_t::ok},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.what);
    reset_pool();
    container_spec_t spec;
    spec.layouts = {layout_of("kora", {{"shared.bin", d('T')}}),
                    layout_of("kora.dlc_x", {{c.second_path, c.second_target}})};
    spec.patches = {{digest_of("v1"), d('T'), {d('1')}},
                    {empty_content_hash, d('T'), {d('1')}},
                    {empty_content_hash, d('U'), {d('2')}}};
    spec.diffs = {{d('1'), 10}, {d('2'), 20}};
    ASSERT_NO_FATAL_FAILURE(add_container(spec));
    write_file("dlc_x.ktl", "dlc");
    results.clear();
    log_lines.clear();
    EXPECT_EQ(analyze(), c.result);
    if (c.result == result_t::internal_error) {
      EXPECT_EQ(lines_starting({"[ERR]"}),
                std::vector<std::string>{"[ERR] Path '" + std::string(c.second_path) +
                                         "' listed twice with different targets " + hex(d('T')) + " and " +
                                         hex(d('U'))});
      EXPECT_EQ(results.size(), 1u);
    } else if (c.same_file) {
      ASSERT_EQ(results.size(), 2u);
      EXPECT_EQ(results[1]->action, action_t::unchanged);
      EXPECT_TRUE(logged("    Path listed before with the same target"));
    } else {
      ASSERT_EQ(results.size(), 2u);
      EXPECT_EQ(results[1]->action, action_t::patch);
    }
  }
}

// Sizes beyond 32 bits, and sums that would wrap, which count as unknown.
TEST_F(analysis_test, required_space_is_64_bit_and_saturates) {
  struct case_t {
    std::vector<u64> sizes;
    u64 required;
  };
  const case_t cases[] = {
      {{40, 100, 10}, 140},
      {{5 * gib, 3 * gib}, 8 * gib},
      {{1ull << 63, 1ull << 63}, patch::space_unknown},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.sizes[0]);
    reset_pool();
    container_spec_t spec;
    spec.layouts = {layout_of("kora", {{"big.pak", d('T')}})};
    spec.patches = {{empty_content_hash, d('T'), {}}};
    for (u32 i = 0; i < c.sizes.size(); ++i) {
      spec.diffs.push_back({d(static_cast<char>('a' + i)), c.sizes[i]});
      spec.patches[0].diff_ids.push_back(d(static_cast<char>('a' + i)));
    }
    ASSERT_NO_FATAL_FAILURE(add_container(spec));
    results.clear();
    ASSERT_EQ(analyze(), result_t::ok);
    EXPECT_EQ(results[0]->required_space, c.required);
    const u64 total = 0xA00000 + 0x4B000;
    EXPECT_EQ(patch::get_required_free_space(results),
              c.required == patch::space_unknown ? patch::space_unknown : total + c.required);
  }
}

// 2^32 + 1 zero bytes, sparse on disk: a hash cut at 32 bits names no record.
TEST_F(analysis_test, a_file_beyond_4_gib_is_hashed_whole) {
  content_hash_t beyond{};
  ASSERT_TRUE(publisher::parse_hex("FBB82F7B353676BB562EB82157FCF0EA42C36492CA13EE56DBF82C08B6802C5C", beyond.bytes,
                                   sizeof beyond.bytes));
  write_file("huge.pak", "");
  std::filesystem::resize_file(file("game") / "huge.pak", (4 * gib) + 1);
  container_spec_t spec;
  spec.layouts = {layout_of("kora", {{"huge.pak", d('T')}})};
  spec.patches = {{beyond, d('T'), {d('1')}}};
  spec.diffs = {{d('1'), 6 * gib}};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  ASSERT_EQ(analyze(), result_t::ok);
  ASSERT_NO_FATAL_FAILURE(expect_records({{"huge.pak", action_t::patch, {d('1')}, 6 * gib, true}}));
  EXPECT_EQ(results[0]->source_file->get_size(), (4 * gib) + 1);
}

// Files are hashed ahead on other threads; what the analysis reports must read as one pass.
TEST_F(analysis_test, progress_and_stops_follow_the_layout_order) {
  constexpr u32 files = 24;
  container_spec_t spec;
  spec.layouts = {layout_of("kora", {})};
  for (u32 i = 0; i < files; ++i) {
    const std::string name = numbered_file(i);
    const std::string content(1000 + 50000 * i, static_cast<char>('a' + i % 26));
    write_file(name, content);
    spec.layouts[0].entries.push_back({name, d('T')});
    spec.patches.push_back({digest_of(content), d('T'), {d('1')}});
  }
  spec.diffs = {{d('1'), 10}};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  // The file in the middle vanishes after the listing: its failure must appear in order.
  std::vector<u64> steps;
  bool refuse_final = false;
  u32 stop_at_step = files;
  auto on_progress = [&](const task_progress_t& progress) {
    if (progress.stage_id == 0) return !refuse_final;
    EXPECT_EQ(progress.stage_id, patch::stage_analysis);
    EXPECT_EQ(progress.step_count, files);
    EXPECT_LE(progress.bytes_done, progress.bytes_total);
    if (steps.empty() || steps.back() != progress.step) steps.push_back(progress.step);
    return progress.step < stop_at_step;
  };
  auto callback = progress_callback(on_progress);

  struct case_t {
    const char* what;
    bool refuse_final;
    u32 stop_at_step;
    result_t result;
    u32 records;
  };
  const case_t cases[] = {
      {"all accepted", false, files, result_t::ok, files},
      {"final report refused", true, files, result_t::aborted, files},
      {"stopped while hashing", false, 9, result_t::aborted, 9},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.what);
    refuse_final = c.refuse_final;
    stop_at_step = c.stop_at_step;
    steps.clear();
    results.clear();
    log_lines.clear();
    EXPECT_EQ(analyze(&callback), c.result);
    EXPECT_EQ(results.size(), c.records);
    std::vector<u64> expected_steps;
    for (u64 i = 0; i < c.records + (c.records < files ? 1 : 0); ++i) expected_steps.push_back(i);
    EXPECT_EQ(steps, expected_steps);
    EXPECT_EQ(logged("Analysis completed"), c.result == result_t::ok);
  }
}

// A worker reaches the vanished file while the large first file is still being hashed.
TEST_F(analysis_test, a_failure_among_files_hashed_ahead_is_logged_in_its_place) {
  constexpr u32 files = 8, vanished_index = 2;
  container_spec_t spec;
  spec.layouts = {layout_of("kora", {})};
  array_dyn_t<string_dyn_t> installed;
  std::vector<std::string> expected;
  for (u32 i = 0; i < files; ++i) {
    const std::string name = numbered_file(i);
    const std::string content = i == 0 ? std::string(64 << 20, 'x') : name;
    if (i != vanished_index) write_file(name, content);
    spec.layouts[0].entries.push_back({name, digest_of(content)});
    installed.push(string_dyn_t(name.c_str()));
    if (i > vanished_index) continue;
    expected.push_back("  File '" + name + "' " + hex(digest_of(content)));
    if (i < vanished_index) expected.push_back("    Result: Unchanged");
  }
  const std::string vanished = install_dir() + "/" + numbered_file(vanished_index);
  expected.push_back("[fs] Failed to open file \"" + vanished + "\" in the read_only mode");
  expected.push_back("[ERR] Unable to open file '" + vanished + "'");
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  array_dyn_t<patch::layout_path_t> layout;
  patch::build_layout(layout, pool, install_dir().c_str());
  log_lines.clear();
  patch::analysis_hash_workers = 4;
  EXPECT_EQ(patch::analyze_patch(results, layout, installed, pool, install_dir().c_str(), nullptr),
            result_t::file_open_failed);
  patch::analysis_hash_workers = 0;
  EXPECT_EQ(lines_starting({"  ", "[", "Analysis"}), expected);
  EXPECT_EQ(results.size(), vanished_index);
}

TEST_F(analysis_test, available_space_is_known_for_a_folder_and_unknown_without_one) {
  EXPECT_NE(get_available_space(install_dir().c_str()), ~u64(0));
  const std::string missing = file("no/such/folder").generic_string();
  EXPECT_EQ(get_available_space(missing.c_str()), ~u64(0));
  ASSERT_EQ(lines_starting({"[ERR]"}).size(), 1u);
  EXPECT_EQ(lines_starting({"[ERR]"})[0].rfind("[ERR] Unable to determine free space for '" + missing + "': ", 0), 0u);
}

} // namespace
} // namespace orvo::analysis
