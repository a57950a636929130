// Finding the installation and testing that the updater may write there.
#include "patcher_tests/wizard_support.h"

#include "tools/patcher/application.h"
#include "tools/patcher/installation_discovery.h"

#include <fstream>

namespace orvo::wizard {
namespace {

struct discovery_case_t {
  const char* name;
  // Relative to the test folder; "-" gives no -appdir at all.
  const char* appdir;
  const char* current_directory;
  const char* found;  // nullptr: nothing found
};

const discovery_case_t discovery_cases[] = {
    {"given directory", "game", "elsewhere", "game"},
    {"trailing separator is kept", "game/", "elsewhere", "game/"},
    {"a wrong -appdir is not overruled by the current directory", "elsewhere", "game", nullptr},
    {"empty -appdir counts as none", "", "game", "game"},
    {"current directory", "-", "game", "game"},
};

TEST_F(wizard_test_t, installation_discovery) {
  const fs::path saved = fs::current_path();
  install("1.13.1");
  const fs::path base = game().parent_path();
  fs::create_directories(base / "elsewhere");
  for (const discovery_case_t& c : discovery_cases) {
    SCOPED_TRACE(c.name);
    forget_game_directory();
    const std::string given = std::string(c.appdir) == "-" ? "" : *c.appdir ? (base / c.appdir).generic_string() : "";
    application.external_app_dir.set(given.c_str());
    fs::current_path(base / c.current_directory);
    const bool found = discover_installation();
    fs::current_path(saved);
    EXPECT_EQ(found, c.found != nullptr);
    if (!c.found) continue;
    std::string expected = (base / c.found).generic_string();
    if (std::string(c.found).back() == '/' && expected.back() != '/') expected += '/';
    // The current directory comes from the platform, in its own spelling.
    if (std::string(c.appdir) == "-" || !*c.appdir) EXPECT_TRUE(fs::equivalent(game_directory().c_str(), expected));
    else EXPECT_EQ(std::string(game_directory().c_str()), expected);
  }
  application.external_app_dir.clear();
}

#ifndef _WIN32
// The test file never follows what is planted under its name, and a stale one does no harm.
TEST_F(wizard_test_t, writability_test_file) {
  install("1.13.1");
  const fs::path victim = game().parent_path() / "victim.txt";
  std::ofstream(victim) << "keep me";
  struct planted_t {
    const char* name;
    void (*plant)(const fs::path& test_file, const fs::path& victim);
  };
  const planted_t cases[] = {
      {"link to another file", [](const fs::path& t, const fs::path& v) { fs::create_symlink(v, t); }},
      {"stale test file", [](const fs::path& t, const fs::path&) { std::ofstream(t) << "stale"; }},
  };
  for (const planted_t& c : cases) {
    SCOPED_TRACE(c.name);
    c.plant(game() / "~t~", victim);
    ASSERT_TRUE(check_candidate_directory(game().generic_string().c_str()));
    environment_refusals_t refusals;
    test_writability(refusals);
    EXPECT_FALSE(refusals.not_administrator);
    EXPECT_FALSE(fs::exists(fs::symlink_status(game() / "~t~")));
    EXPECT_EQ(read_file(victim), "keep me");
  }
}
#endif

} // namespace
} // namespace orvo::wizard
