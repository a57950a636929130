// Patch application on real installations: rebuilding, verification and finalization, with and
// without a transaction, and every failure before finalization leaving the game as it was.
#include "analysis_support.h"
#include "fake_transaction_manager.h"

#include "ovcore/ufs/file_system.h"
#include "patch/analyze_patch.h"
#include "patch/apply_patch.h"
#include "patch/block_header.h"
#include "patch/file_transactions.h"

#include <fstream>
#include <map>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace orvo::analysis {
namespace {

using result_t = patch::apply_patch_result_t;
using method_t = publisher::block_method_t;

content_hash_t d(char name) { return digest_named(name); }

const std::string v1(70000, 'a');
std::string edited(const std::string& base, char mark) {
  std::string text = base;
  for (size_t i = 100; i < text.size(); i += 9000) text[i] = mark;
  return text;
}

class apply_test : public analysis_test_t {
protected:
  void TearDown() override {
    patch::set_transaction_entry_points(nullptr);
    patch::temporary_removal_retry_ms = 1000;
    analysis_test_t::TearDown();
  }

  files_t snapshot() const { return analysis::snapshot(file("game")); }

  result_t analyze_and_apply(progress_callback_t* callback = nullptr) {
    array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> results;
    EXPECT_EQ(patch::analyze_installation(results, pool, install_dir().c_str(), nullptr),
              patch::analyze_patch_result_t::ok);
    const result_t result = patch::apply_patch(results, pool, callback);
    EXPECT_TRUE(results.empty());
    return result;
  }

  // chain.bin: v1 -> v2 (delta) -> v3 (LZMA) -> v4 (stored); new.bin from nothing; zero.bin
  // emptied; old.bin and gone.bin deleted (gone.bin is not there); same.bin unchanged.
  void standard_installation() {
    const std::string v2 = edited(v1, 'b'), v3 = edited(v2, 'c'), v4 = edited(v3, 'd');
    write_file("chain.bin", v1);
    write_file("zero.bin", "abc");
    write_file("old.bin", "old");
    write_file("same.bin", "same");
    container_spec_t spec;
    spec.layouts = {layout_of("kora", {{"chain.bin", digest_of(v4)},
                                       {"new.bin", digest_of("new")},
                                       {"zero.bin", empty_content_hash},
                                       {"old.bin", zero_content_hash},
                                       {"gone.bin", zero_content_hash},
                                       {"same.bin", digest_of("same")}})};
    spec.patches = {{digest_of(v1), digest_of(v4), {d('1'), d('2'), d('3')}}, {empty_content_hash, digest_of("new"), {d('4')}}};
    spec.content_diffs = {content_diff(d('1'), v2, method_t::delta, v1), content_diff(d('2'), v3, method_t::lzma),
                  content_diff(d('3'), v4), content_diff(d('4'), "new")};
    ASSERT_NO_FATAL_FAILURE(add_container(spec));
    expected_after = {{"chain.bin", v4}, {"new.bin", "new"}, {"zero.bin", ""}, {"same.bin", "same"}};
  }

  files_t expected_after;
};

TEST_F(apply_test, rebuilds_verifies_and_finalizes_with_and_without_a_transaction) {
  for (bool transacted : {false, true}) {
    SCOPED_TRACE(transacted ? "transaction" : "plain");
    reset_installation();
    reset_pool();
    ASSERT_NO_FATAL_FAILURE(standard_installation());
    fake_transaction_manager_t manager;
    patch::set_transaction_entry_points(transacted ? &manager.functions() : nullptr);
    // While rebuilt files are verified, only each chain's last temporary is left.
    files_t during_verification;
    std::vector<task_progress_t> finalization;
    auto on_progress = [&](const task_progress_t& progress) {
      if (progress.stage_id == patch::finalization_marker) finalization.push_back(progress);
      if (progress.stage_id == patch::stage_extraction && during_verification.empty() && progress.step >= 6)
        during_verification = snapshot();
      EXPECT_LE(progress.step, progress.step_count);
      return true;
    };
    auto callback = progress_callback(on_progress);
    log_lines.clear();
    EXPECT_EQ(analyze_and_apply(&callback), result_t::ok);
    EXPECT_TRUE(same_files(snapshot(), expected_after));
    EXPECT_EQ(during_verification.count("chain.bin.tmp.2"), 1u);
    EXPECT_EQ(during_verification.count("chain.bin.tmp.0") + during_verification.count("chain.bin.tmp.1"), 0u);
    // Five files touched: one report to begin and one after each.
    ASSERT_EQ(finalization.size(), 6u);
    EXPECT_EQ(finalization.back().bytes_done, 5u);
    const std::string game = install_dir();
    EXPECT_TRUE(logged("    Applying " + hex(d('4')) + " 'empty' -> '" + game + "/new.bin.tmp.0'"));
    EXPECT_TRUE(logged("    Applying " + hex(d('2')) + " '" + game + "/chain.bin.tmp.0' -> '" + game +
                       "/chain.bin.tmp.1'"));
    EXPECT_TRUE(logged("    Moving '" + game + "/chain.bin.tmp.2' => '" + game + "/chain.bin'"));
    EXPECT_TRUE(logged(transacted ? "Transaction commited" : "[WRN] Transactions are not used"));
    EXPECT_TRUE(logged("Patch applied"));
    EXPECT_EQ(manager.open_handles, 0u);
    EXPECT_EQ(manager.commits, transacted ? 1u : 0u);
  }
}

struct failure_case_t {
  const char* what;
  result_t result;
  std::string error;
};

// Every failure before finalization leaves every installed byte and no temporary.
TEST_F(apply_test, failures_before_finalization_change_nothing) {
  const std::string v2 = edited(v1, 'b');
  write_file("a.bin", v1);
  write_file("b.bin", "b");
  write_file("c.bin", "c");
  container_spec_t spec;
  spec.layouts = {layout_of("kora", {{"a.bin", digest_of(v2)},
                                     {"b.bin", zero_content_hash},
                                     {"c.bin", empty_content_hash},
                                     {"d.bin", digest_of("right")}})};
  spec.patches = {{digest_of(v1), digest_of(v2), {d('1')}}, {empty_content_hash, digest_of("right"), {d('2')}}};
  spec.content_diffs = {content_diff(d('1'), v2, method_t::delta, v1), content_diff(d('2'), "wrong")};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  const files_t before = snapshot();
  const std::string game = install_dir();

  u64 refuse_stage = 0;
  auto on_progress = [&](const task_progress_t& progress) { return progress.stage_id != refuse_stage; };
  auto callback = progress_callback(on_progress);
  log_lines.clear();
  EXPECT_EQ(analyze_and_apply(&callback), result_t::inconsistent_output);
  EXPECT_TRUE(logged("[ERR] Content mismatch for file '" + game + "/d.bin', expected " + hex(digest_of("right")) +
                     ", got " + hex(digest_of("wrong"))));
  EXPECT_TRUE(same_files(snapshot(), before));

  // The same container with the diff of d.bin put right: refusals at each stage.
  reset_pool();
  spec.content_diffs[1] = content_diff(d('2'), "right");
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  for (u64 stage : {patch::stage_extraction, patch::finalization_marker}) {
    SCOPED_TRACE(stage);
    refuse_stage = stage;
    EXPECT_EQ(analyze_and_apply(&callback), result_t::aborted);
    EXPECT_TRUE(same_files(snapshot(), before));
  }
  // Past the start of finalization the answer no longer counts.
  bool refuse_late = false;
  auto late = [&](const task_progress_t& progress) {
    if (progress.stage_id == patch::finalization_marker && progress.bytes_done > 0) refuse_late = true;
    return !refuse_late;
  };
  auto late_callback = progress_callback(late);
  const files_t after = {{"a.bin", v2}, {"c.bin", ""}, {"d.bin", "right"}};
  EXPECT_EQ(analyze_and_apply(&late_callback), result_t::ok);
  EXPECT_TRUE(refuse_late);
  EXPECT_TRUE(same_files(snapshot(), after));
  for (const auto& [name, content] : before) write_file(name, content);
  std::filesystem::remove(file("game") / "d.bin");
  refuse_stage = 0;

  // A folder where a temporary must go.
  std::filesystem::create_directories(file("game") / "a.bin.tmp.0" / "x");
  EXPECT_EQ(analyze_and_apply(), result_t::unable_to_create_file);
  std::filesystem::remove_all(file("game") / "a.bin.tmp.0");
  EXPECT_TRUE(same_files(snapshot(), before));
}

// A layout naming both x and x.tmp.0 would delete a real file as a temporary.
TEST_F(apply_test, a_temporary_named_like_a_layout_file_is_refused) {
  write_file("x", "old");
  write_file("x.tmp.0", "keep");
  container_spec_t spec;
  spec.layouts = {layout_of("kora", {{"x", digest_of("new")}, {"x.tmp.0", digest_of("keep")}})};
  spec.patches = {{digest_of("old"), digest_of("new"), {d('1')}}};
  spec.content_diffs = {content_diff(d('1'), "new")};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  const files_t before = snapshot();
  EXPECT_EQ(analyze_and_apply(), result_t::internal_error);
  EXPECT_TRUE(logged("[ERR] Temporary file '" + install_dir() + "/x.tmp.0' would replace a file of the installation"));
  EXPECT_TRUE(same_files(snapshot(), before));
}

// Without a transaction a move failing halfway leaves the files before it changed.
TEST_F(apply_test, a_failed_move_without_a_transaction_is_critical) {
  for (const char* name : {"a.bin", "b.bin", "c.bin"}) write_file(name, std::string("old ") + name);
  container_spec_t spec;
  spec.layouts = {layout_of("kora", {{"a.bin", digest_of("new a")}, {"b.bin", digest_of("new b")},
                                     {"c.bin", digest_of("new c")}})};
  for (char c : {'a', 'b', 'c'}) {
    const std::string name = std::string(1, c) + ".bin";
    spec.patches.push_back({digest_of("old " + name), digest_of(std::string("new ") + c), {d(c)}});
    spec.content_diffs.push_back(content_diff(d(c), std::string("new ") + c));
  }
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  // Once a.bin is in place, b.bin is held open by another program.
  auto_ptr_t<file_t> holder;
  auto on_progress = [&](const task_progress_t& progress) {
    if (progress.stage_id == patch::finalization_marker && progress.bytes_done == 1 && !holder)
      holder = open_file_read((install_dir() + "/b.bin").c_str());
    return true;
  };
  auto callback = progress_callback(on_progress);
  EXPECT_EQ(analyze_and_apply(&callback), result_t::critical_unable_to_move_file);
  holder.reset();
  EXPECT_TRUE(same_files(snapshot(), (files_t{{"a.bin", "new a"}, {"b.bin", "old b.bin"}, {"c.bin", "old c.bin"}})));
  EXPECT_EQ(lines_starting({"[ERR] Unable to move file"}).size(), 1u);
}

// In a transaction every failure of finalization undoes what was done.
TEST_F(apply_test, a_failing_transaction_changes_nothing) {
  struct case_t {
    fake_transaction_manager_t::call_t call;
    result_t result;
    const char* error;
  };
  const case_t cases[] = {
      {fake_transaction_manager_t::create, result_t::transaction_failed, "[ERR] Unable to create transaction: 00000005"},
      {fake_transaction_manager_t::remove, result_t::unable_to_delete_file, "[ERR] Unable to delete file '"},
      {fake_transaction_manager_t::move, result_t::unable_to_move_file, "[ERR] Unable to move file '"},
      {fake_transaction_manager_t::commit, result_t::transaction_failed, "[ERR] Unable to commit transaction: 00000005"},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.error);
    reset_installation();
    reset_pool();
    ASSERT_NO_FATAL_FAILURE(standard_installation());
    const files_t before = snapshot();
    fake_transaction_manager_t manager;
    patch::set_transaction_entry_points(&manager.functions());
    // The probe's own transaction must not fail: the chosen call fails from finalization on.
    auto on_progress = [&](const task_progress_t& progress) {
      if (progress.stage_id == patch::finalization_marker && progress.bytes_done == 0) manager.fail(c.call, 5);
      return true;
    };
    auto callback = progress_callback(on_progress);
    log_lines.clear();
    EXPECT_EQ(analyze_and_apply(&callback), c.result);
    EXPECT_TRUE(same_files(snapshot(), before));
    EXPECT_EQ(lines_starting({c.error}).size(), 1u);
    EXPECT_EQ(manager.open_handles, 0u);
  }
}

TEST_F(apply_test, transaction_probe_verdicts) {
  write_file("a.bin", "old");
  container_spec_t spec;
  spec.layouts = {layout_of("kora", {{"a.bin", digest_of("new")}})};
  spec.patches = {{digest_of("old"), digest_of("new"), {d('1')}}};
  spec.content_diffs = {content_diff(d('1'), "new")};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  const std::string path = install_dir() + "/a.bin";
  struct case_t {
    fake_transaction_manager_t::call_t call;
    u32 error;
    bool verdict;
    std::string line;
  };
  const case_t cases[] = {
      {fake_transaction_manager_t::none, 0, true, "Transactions supported"},
      {fake_transaction_manager_t::create, 5, false, "[ERR] Unable to create transaction: 00000005"},
      {fake_transaction_manager_t::probe_read, 6832, false,
       "Transactions not supported during read probe '" + path + "': 00001AB0"},
      {fake_transaction_manager_t::probe_read, 6801, false,
       "Transactions not supported during read probe '" + path + "': 00001A91"},
      {fake_transaction_manager_t::probe_write, 6831, false,
       "Transactions not supported during write probe '" + path + ".tmp.0': 00001AAF"},
      {fake_transaction_manager_t::probe_write, 6805, false,
       "Transactions not supported during write probe '" + path + ".tmp.0': 00001A95"},
      // Access denied on one file gives no verdict.
      {fake_transaction_manager_t::probe_read, 5, true, "Transactions supported"},
  };
  array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> results;
  ASSERT_EQ(patch::analyze_installation(results, pool, install_dir().c_str(), nullptr),
            patch::analyze_patch_result_t::ok);
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.line);
    fake_transaction_manager_t manager;
    manager.fail(c.call, c.error);
    patch::set_transaction_entry_points(&manager.functions());
    log_lines.clear();
    EXPECT_EQ(patch::probe_transactions(results), c.verdict);
    EXPECT_TRUE(logged(c.line));
    EXPECT_EQ(manager.open_handles, 0u);
  }
  // Only unchanged files: the throw-away transaction alone.
  fake_transaction_manager_t manager;
  patch::set_transaction_entry_points(&manager.functions());
  results[0]->action = patch::patch_action_t::unchanged;
  EXPECT_TRUE(patch::probe_transactions(results));
  EXPECT_EQ(manager.transactions_created, 1u);
  EXPECT_EQ(manager.probes, 0u);
  patch::set_transaction_entry_points(nullptr);
  log_lines.clear();
  EXPECT_FALSE(patch::probe_transactions(results));
  EXPECT_TRUE(logged("Transaction support not initialized"));
}

TEST_F(apply_test, read_only_files_are_replaced_and_deleted) {
  write_file("locked.bin", "old");
  write_file("doomed.bin", "x");
  for (const char* name : {"locked.bin", "doomed.bin"})
    std::filesystem::permissions(file("game") / name, std::filesystem::perms::owner_read);
  container_spec_t spec;
  spec.layouts = {layout_of("kora", {{"locked.bin", digest_of("new")}, {"doomed.bin", zero_content_hash}})};
  spec.patches = {{digest_of("old"), digest_of("new"), {d('1')}}};
  spec.content_diffs = {content_diff(d('1'), "new")};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  EXPECT_EQ(analyze_and_apply(), result_t::ok);
  EXPECT_TRUE(same_files(snapshot(), (files_t{{"locked.bin", "new"}})));
}

#ifdef _WIN32
// A temporary held open by another program is tried ten times, then left.
TEST_F(apply_test, a_temporary_that_cannot_be_removed_is_left_after_ten_attempts) {
  write_file("a.bin", "old");
  container_spec_t spec = spec_of({layout_of("kora", {{"a.bin", digest_of("right")}})},
                                  {{digest_of("old"), digest_of("right"), {d('1')}}});
  spec.content_diffs = {content_diff(d('1'), "wrong")};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  patch::temporary_removal_retry_ms = 1;
  const std::filesystem::path temporary = file("game") / "a.bin.tmp.0";
  std::ifstream holder;
  auto on_progress = [&](const task_progress_t&) {
    if (!holder.is_open() && std::filesystem::exists(temporary)) holder.open(temporary, std::ios::binary);
    return true;
  };
  auto callback = progress_callback(on_progress);
  EXPECT_EQ(analyze_and_apply(&callback), result_t::inconsistent_output);
  ASSERT_TRUE(holder.is_open());
  const std::string refusal = "[ERR] Unable to remove file '" + temporary.generic_string() + "'";
  EXPECT_EQ(lines_starting({refusal.c_str()}).size(), 10u);
  holder.close();
  EXPECT_TRUE(std::filesystem::exists(temporary));
}
#else
// A name the platform cannot take is found before anything is created.
TEST_F(apply_test, an_unconvertible_name_is_refused_before_finalization) {
  const std::string deep = install_dir() + "/" + std::string(250, 'd') + "/" + std::string(250, 'e');
  array_dyn_t<patch::layout_path_t> layout;
  patch::layout_path_t entry{{'A', 'P', 'P', 'L'}, "gone.bin", zero_content_hash};
  layout.push(entry);
  array_dyn_t<string_dyn_t> installed;
  array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> results;
  ASSERT_EQ(patch::analyze_patch(results, layout, installed, pool, deep.c_str(), nullptr),
            patch::analyze_patch_result_t::ok);
  bool finalized = false;
  auto on_progress = [&](const task_progress_t& progress) {
    finalized |= progress.stage_id == patch::finalization_marker;
    return true;
  };
  auto callback = progress_callback(on_progress);
  EXPECT_EQ(patch::apply_patch(results, pool, &callback), result_t::internal_error);
  EXPECT_TRUE(logged("[ERR] Unable to convert to utf16"));
  EXPECT_FALSE(finalized);
}

// The installed file shrinks after it was hashed: the delta's source window no longer fits it,
// and nothing changes.
TEST_F(apply_test, a_source_cut_after_analysis_changes_nothing) {
  const interop::bytes_t noise = interop::random_bytes(200000, 7);
  const std::string source(noise.begin(), noise.end()), target = edited(source, 'x');
  write_file("a.bin", source);
  container_spec_t spec = spec_of({layout_of("kora", {{"a.bin", digest_of(target)}})},
                                  {{digest_of(source), digest_of(target), {d('1')}}});
  spec.content_diffs = {content_diff(d('1'), target, method_t::delta, source)};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> results;
  ASSERT_EQ(patch::analyze_installation(results, pool, install_dir().c_str(), nullptr),
            patch::analyze_patch_result_t::ok);
  std::filesystem::resize_file(file("game") / "a.bin", 1000);
  const files_t before = snapshot();
  EXPECT_EQ(patch::apply_patch(results, pool, nullptr), result_t::corrupted_patch);
  EXPECT_TRUE(same_files(snapshot(), before));
}

// A full disk, as a file size limit: writing a temporary fails, nothing changes.
TEST_F(apply_test, a_write_failure_changes_nothing) {
  const std::string big(300000, 'z');
  write_file("a.bin", "old");
  container_spec_t spec;
  spec.layouts = {layout_of("kora", {{"a.bin", digest_of(big)}})};
  spec.patches = {{digest_of("old"), digest_of(big), {d('1')}}};
  spec.content_diffs = {content_diff(d('1'), big, method_t::lzma)};
  ASSERT_NO_FATAL_FAILURE(add_container(spec));
  const files_t before = snapshot();
  array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> results;
  ASSERT_EQ(patch::analyze_installation(results, pool, install_dir().c_str(), nullptr),
            patch::analyze_patch_result_t::ok);
  rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 100000;
  setrlimit(RLIMIT_FSIZE, &limited);
  const result_t result = patch::apply_patch(results, pool, nullptr);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous_handler);
  EXPECT_EQ(result, result_t::write_error);
  EXPECT_TRUE(same_files(snapshot(), before));
}
#endif

} // namespace
} // namespace orvo::analysis
