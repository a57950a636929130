#pragma once
// Runs the whole updater on a copy of the sample game, with the headless front end and a
// scripted player.
#include "common/file_tree.h"
#include "common/log_capture.h"
#include "tools/patcher/frontends/headless/headless_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvo::wizard {

namespace fs = std::filesystem;
using ui::headless_ui_t;

// The player: what to do when nothing else happens, and how to answer a question.
struct player_t {
  std::function<bool(headless_ui_t&)> idle = [](headless_ui_t&) { return false; };
  std::function<bool(headless_ui_t&, const std::string& text)> answer = [](headless_ui_t&, const std::string&) {
    return false;
  };
};

// Presses the buttons in order, one per page that waits; answers every question with the answers in order.
player_t presses(std::vector<u32> buttons, std::vector<bool> answers = {});

// Keeps every worker of the pool busy, so that an operation posted meanwhile waits in the queue,
// or holds the finalization gate from another thread, as an open question would.
class hold_t {
public:
  enum what_t { pool_workers, finalization_gate };
  explicit hold_t(what_t what) : what_(what) {}
  ~hold_t() { release(); }
  void hold();
  void release();

private:
  struct state_t;
  what_t what_;
  std::shared_ptr<state_t> state_;
};

// Delivers messages until one more of this kind has been delivered.
void deliver_until(headless_ui_t& ui, u32 message);

struct outcome_t {
  i32 exit_code = 0;
  // Names of the pages entered, in order.
  std::vector<std::string> pages;
};

using testing::files_t;
using testing::read_file;
using testing::same_files;
using testing::snapshot;

class wizard_test_t : public ::testing::Test {
public:
  void SetUp() override;
  void TearDown() override;

  // A copy of a sample game version ("1.13.1", "1.13.2", "1.13.3") as the installation.
  void install(const std::string& version);
  // Removes the installation and undoes every change a case made to the run's inputs.
  void reset();
  fs::path game() const { return root_ / "game"; }
  static fs::path sample(const std::string& version);
  // The -appdir option naming the installation.
  std::u16string appdir() const;

  outcome_t run(const std::u16string& command_line, const player_t& player = {});

  // What the embedded container holds; the sample container unless a test changes it.
  std::string container;
  bool container_missing = false;
  // Free bytes the space query reports; called on the user-interface thread.
  std::function<u64()> available_space = [] { return u64(1) << 40; };
  testing::log_capture_t* log = nullptr;
  headless_ui_t* ui = nullptr;

private:
  fs::path root_;
};

} // namespace orvo::wizard
