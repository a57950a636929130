// Automatic mode end to end: every outcome a launcher can read from the exit code.
#include "patcher_tests/faulty_device.h"
#include "patcher_tests/wizard_support.h"

#include "ovcore/ufs/fs_runtime.h"
#include "tools/patcher/application.h"
#include "tools/patcher/frontends/headless/headless_ui.h"
#include "tools/patcher/wizard/page_engine.h"

#include <fstream>

namespace orvo::wizard {
namespace {

void write(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

struct automatic_case_t {
  const char* name;
  const char* installed;  // nullptr: nothing installed
  void (*prepare)(wizard_test_t& test);
  i32 exit_code;
  const char* last_page;
  bool updated;  // else the installation must be exactly as before
  fault_plan_t fault = {};
};

void nothing(wizard_test_t&) {}

const automatic_case_t automatic_cases[] = {
    {"finished from 1.13.1", "1.13.1", nothing, 0, "Finished", true},
    {"finished from 1.13.2", "1.13.2", nothing, 0, "Finished", true},
    {"already up to date", "1.13.3",
     [](wizard_test_t& t) { t.container = read_file(fs::path(ORVO_SAMPLE_GAME_DIR) / "current.ktlc"); }, 0,
     "Already patched", true},
    {"too little space", "1.13.1", [](wizard_test_t& t) { t.available_space = [] { return u64(13) << 20; }; }, 1,
     "Insufficient space", false},
    {"unknown game file", "1.13.1",
     [](wizard_test_t& t) { write(t.game() / "bin/win_x86/velmora2.exe", "modded executable"); }, 2,
     "Unsupported version", false},
    {"steam installation", "1.13.1", [](wizard_test_t& t) { write(t.game() / "1460510_install.vdf", "\"AppState\"{}"); },
     3, "Unsupported Steam", false},
    {"signature broken", "1.13.1", [](wizard_test_t& t) { t.container[t.container.size() / 2] ^= 0x01; }, 5,
     "Installer corrupted", false},
    {"container missing", "1.13.1", [](wizard_test_t& t) { t.container_missing = true; }, 5, "Installer corrupted",
     false},
    {"container empty", "1.13.1", [](wizard_test_t& t) { t.container.clear(); }, 5, "Installer corrupted", false},
    {"container cut short", "1.13.1", [](wizard_test_t& t) { t.container.resize(700); }, 5, "Installer corrupted",
     false},
    {"nothing installed", nullptr, nothing, 6, "Not found", false},
    {"game file cannot be opened", "1.13.1", nothing, 7, "Open error", false, {fault_t::open_for_reading, "data/main.pak"}},
    {"temporary cannot be created", "1.13.1", nothing, 8, "Creation error", false, {fault_t::create, "readme.txt.tmp.0"}},
    {"game file cannot be read", "1.13.1", nothing, 9, "Read error", false, {fault_t::read, "data/main.pak"}},
    {"temporary cannot be written", "1.13.1", nothing, 10, "Write error", false, {fault_t::write, "main.pak.tmp.0"}},
    // Without transactions any refusal in finalization leaves a half-changed installation.
    {"move refused", "1.13.1", nothing, 14, "Critical filesystem error", false, {fault_t::move, "", 1}},
};

TEST_F(wizard_test_t, automatic_mode_exit_codes) {
  for (const automatic_case_t& c : automatic_cases) {
    SCOPED_TRACE(c.name);
    reset();
    if (c.installed) install(c.installed);
    c.prepare(*this);
    const files_t before = snapshot(game());
    faulty_device_t device(*real_native_device(), c.fault);
    set_device_in_front(&device);
    const outcome_t outcome = run(u"-automatic " + appdir());
    set_device_in_front(nullptr);
    EXPECT_EQ(outcome.exit_code, c.exit_code);
    ASSERT_FALSE(outcome.pages.empty());
    EXPECT_EQ(outcome.pages.back(), c.last_page);
    EXPECT_TRUE(log->contains("Automatic mode exited with code: " + std::to_string(c.exit_code)));
    // A critical failure is the one that may leave the installation half changed.
    if (c.updated) {
      EXPECT_TRUE(same_files(snapshot(game()), snapshot(sample("1.13.3"))));
    } else if (c.exit_code < 14) {
      EXPECT_TRUE(same_files(snapshot(game()), before));
    }
  }
}

// A close request (a launcher ending the run) before finalization aborts; during it, it is ignored.
TEST_F(wizard_test_t, automatic_close_requests) {
  struct close_case_t {
    const char* name;
    bool during_finalization;
    i32 exit_code;
    const char* log_line;
  };
  const close_case_t cases[] = {
      {"before finalization", false, 4, "[WRN] Abort confirmed"},
      {"during finalization", true, 0, "[WRN] Finalization already running, abort impossible"},
  };
  for (const close_case_t& c : cases) {
    SCOPED_TRACE(c.name);
    install("1.13.1");
    const files_t before = snapshot(game());
    hold_t pool(hold_t::pool_workers);
    hold_t gate(hold_t::finalization_gate);
    available_space = [&] {
      // Patching starts next: it waits for the pool (or at the gate) while the close arrives.
      if (c.during_finalization) gate.hold();
      else pool.hold();
      return u64(1) << 40;
    };
    player_t player;
    bool closed = false;
    player.idle = [&](headless_ui_t& ui) {
      if (current_page_id() != 5 || closed) return false;
      if (c.during_finalization)
        while (!finalization_reported()) ui.deliver_next(10);
      ui.close();
      closed = true;
      pool.release();
      gate.release();
      return true;
    };
    const outcome_t outcome = run(u"-automatic " + appdir(), player);
    EXPECT_EQ(outcome.exit_code, c.exit_code);
    EXPECT_TRUE(log->contains(c.log_line));
    EXPECT_TRUE(same_files(snapshot(game()), c.exit_code == 0 ? snapshot(sample("1.13.3")) : before));
  }
}

} // namespace
} // namespace orvo::wizard
