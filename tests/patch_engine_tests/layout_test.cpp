// The installation layout and the listing of installed files, on real directories.
#include "analysis_support.h"

#include "patch/installation_layout.h"
#include "patch/installed_files.h"
#include "ovcore/ufs/file_system.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvo::analysis {
namespace {

using layout_spec_t = container_spec_t::layout_t;

layout_spec_t named(const std::string& name, const std::string& path, std::optional<content_hash_t> match = {}) {
  layout_spec_t layout = layout_of(name, {{path, digest_named('t')}});
  layout.match_hash = match;
  return layout;
}

struct layout_case_t {
  const char* what;
  // Installed names; a trailing '/' makes a directory.
  std::vector<std::pair<std::string, std::string>> installed;
  std::vector<std::string> expected_paths;
  std::vector<std::string> warnings;
};

class build_layout_test : public analysis_test_t {
protected:
  void SetUp() override {
    analysis_test_t::SetUp();
    const std::string cfg_content = "configuration 2";
    ASSERT_NO_FATAL_FAILURE(add_container(spec_of(
        {named("kora", "base.bin"), named("kora_cfg", "cfg1.bin", digest_of("configuration 1")),
         named("kora_cfg", "cfg2.bin", digest_of(cfg_content)), named("kora.dlc_extra", "extra.bin"),
         named("kora.dlc_a.b", "ab.bin")})));
  }

  std::vector<std::string> build(const std::string& directory) {
    array_dyn_t<patch::layout_path_t> layout;
    EXPECT_EQ(patch::build_layout(layout, pool, directory.c_str()), patch::analyze_patch_result_t::ok);
    std::vector<std::string> paths;
    for (const patch::layout_path_t& entry : layout) paths.emplace_back(entry.path);
    return paths;
  }
};

TEST_F(build_layout_test, base_configuration_and_dlc_layouts_are_chosen_by_the_installation) {
  const std::string long_stem = "dlc_" + std::string(200, 'x');
  const layout_case_t cases[] = {
      {"base only", {}, {"base.bin"}, {}},
      {"configuration with a record", {{"base_cfg.ktl", "configuration 2"}}, {"base.bin", "cfg2.bin"}, {}},
      {"configuration without a record", {{"base_cfg.ktl", "configuration 9"}}, {"base.bin"}, {}},
      {"configuration as a directory", {{"base_cfg.ktl/", ""}}, {"base.bin"}, {}},
      {"a DLC archive", {{"dlc_extra.ktl", "x"}}, {"base.bin", "extra.bin"}, {}},
      {"dots in the stem", {{"dlc_a.b.ktl", "x"}}, {"base.bin", "ab.bin"}, {}},
      {"prefix in other case", {{"DLC_extra.ktl", "x"}}, {"base.bin"}, {}},
      {"extension in other case", {{"dlc_extra.KTL", "x"}}, {"base.bin"}, {}},
      {"directories and subfolders hold no archives", {{"dlc_extra.ktl/", ""}, {"sub/dlc_extra.ktl", "x"}},
       {"base.bin"}, {}},
      {"an unknown DLC", {{"dlc_unknown.ktl", "x"}}, {"base.bin"}, {"[WRN] Unknown DLC 'dlc_unknown'"}},
      {"a stem longer than any record name", {{long_stem + ".ktl", "x"}}, {"base.bin"},
       {"[WRN] Unknown DLC '" + long_stem + "'"}},
  };
  for (const layout_case_t& c : cases) {
    SCOPED_TRACE(c.what);
    reset_installation();
    for (const auto& [name, content] : c.installed) {
      if (name.back() == '/') std::filesystem::create_directories(file("game") / name);
      else write_file(name, content);
    }
    log_lines.clear();
    EXPECT_EQ(build(install_dir()), c.expected_paths);
    EXPECT_EQ(lines_starting({"[WRN]", "[ERR]"}), c.warnings);
  }
}

TEST_F(build_layout_test, without_a_base_layout_nothing_is_built) {
  patch::container_pool_t empty;
  array_dyn_t<patch::layout_path_t> layout;
  EXPECT_EQ(patch::build_layout(layout, empty, install_dir().c_str()), patch::analyze_patch_result_t::internal_error);
  EXPECT_TRUE(layout.empty());
}

struct listing_case_t {
  const char* what;
  std::string suffix;  // appended to the installation directory
  std::vector<std::string> files;
  std::vector<std::string> expected;
  u32 result = patch::list_files_ok;
};

class installed_files_test : public analysis_test_t {
protected:
  u32 list(const std::string& directory, std::vector<std::string>& out) {
    array_dyn_t<string_dyn_t> files;
    const u32 result = patch::list_installed_files(files, directory.c_str());
    for (const string_dyn_t& path : files) out.emplace_back(path.c_str());
    return result;
  }
};

TEST_F(installed_files_test, listing_is_depth_first_sorted_by_bytes_and_needs_the_folder) {
  const std::vector<std::string> tree = {"b/c", "a", "C", "b/d/e", "b-", "\xC3\xA9t\xC3\xA9.dat", "z/.svn/x"};
  const std::vector<std::string> sorted = {"C", "a", "b-", "b/c", "b/d/e", "\xC3\xA9t\xC3\xA9.dat"};
  const listing_case_t cases[] = {
      {"plain", "", tree, sorted},
      {"trailing slash", "/", tree, sorted},
      {"empty installation", "", {}, {}},
      {"a missing directory", "/absent", {}, {}, patch::list_files_directory_missing},
  };
  for (const listing_case_t& c : cases) {
    SCOPED_TRACE(c.what);
    reset_installation();
    for (const std::string& name : c.files) write_file(name, name);
    std::vector<std::string> listed;
    log_lines.clear();
    EXPECT_EQ(list(install_dir() + c.suffix, listed), c.result);
    EXPECT_EQ(listed, c.expected);
    EXPECT_EQ(logged("[ERR] Directory '" + install_dir() + c.suffix + "' not found"), c.result != patch::list_files_ok);
  }
}

// A game file that only carries the read-only attribute is still a file.
TEST_F(installed_files_test, read_only_files_are_listed) {
  write_file("data/locked.pak", "x");
  const std::filesystem::path locked = file("game") / "data/locked.pak";
#ifdef _WIN32
  ASSERT_TRUE(SetFileAttributesW(locked.wstring().c_str(), FILE_ATTRIBUTE_READONLY));
#else
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
#endif
  std::vector<std::string> listed;
  EXPECT_EQ(list(install_dir(), listed), patch::list_files_ok);
  EXPECT_EQ(listed, std::vector<std::string>{"data/locked.pak"});
  file_info_t info;
  ASSERT_TRUE(stat_path(locked.generic_string().c_str(), &info));
  EXPECT_EQ(info.kind, file_kind_file);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
#ifdef _WIN32
  SetFileAttributesW(locked.wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
}

// Links are followed (players move data that way), but a folder is entered once.
TEST_F(installed_files_test, linked_directories_are_followed_once) {
  write_file("data/a.pak", "a");
  interop::write_text(file("moved/b.pak"), "b");
  std::error_code failed;
  std::filesystem::create_directory_symlink(file("game"), file("game/data/loop"), failed);
  if (!failed) std::filesystem::create_directory_symlink(file("moved"), file("game/moved"), failed);
  if (failed) GTEST_SKIP() << "directory links are not available here: " << failed.message();
  std::vector<std::string> listed;
  EXPECT_EQ(list(install_dir(), listed), patch::list_files_ok);
  EXPECT_EQ(listed, (std::vector<std::string>{"data/a.pak", "moved/b.pak"}));
  EXPECT_EQ(lines_starting({"[WRN] Directory"}).size(), 1u);
}

} // namespace
} // namespace orvo::analysis
