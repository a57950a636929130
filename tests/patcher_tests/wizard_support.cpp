#include "patcher_tests/wizard_support.h"

#include "ovcore/system/runtime.h"
#include "ovcore/thread/thread_pool.h"
#include "tools/patcher/wizard/finalization_gate.h"
#include "tools/patcher/wizard/page_engine.h"
#include "tools/patcher/patcher_main.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cstdlib>
#include <memory>
#ifdef _WIN32
#include <windows.h>
#endif

namespace orvo::wizard {

namespace {

wizard_test_t* running = nullptr;
const player_t* running_player = nullptr;

class scripted_driver_t final : public ui::headless_driver_t {
public:
  bool on_idle(headless_ui_t& ui) override { return running_player->idle(ui); }
  bool on_question(headless_ui_t& ui, const string& text, const string&) override {
    return running_player->answer(ui, text.c_str());
  }
};

scripted_driver_t driver;

// The temporary folders as the process had them; the runs point them into the test folder.
const std::string original_tmpdir = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
const std::string original_tmp = std::getenv("TMP") ? std::getenv("TMP") : "";

// An empty value removes the variable.
void set_variable(const char* name, const std::string& value) {
#ifdef _WIN32
  SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
#else
  if (value.empty()) unsetenv(name);
  else setenv(name, value.c_str(), 1);
#endif
}

std::u16string to_u16(const std::string& text) {
  std::u16string out;
  for (unsigned char c : text) out.push_back(c);
  return out;
}

} // namespace

struct hold_t::state_t {
  class blocker_t final : public thread::pool_task_t {
  public:
    explicit blocker_t(state_t& state) : state_(state) {}
    void run() override { state_.arrive_and_wait(); }

  private:
    state_t& state_;
  };
  void arrive_and_wait() {
    std::unique_lock<std::mutex> hold(lock);
    ++arrived;
    signal.notify_all();
    signal.wait(hold, [this] { return released; });
  }
  std::mutex lock;
  std::condition_variable signal;
  u32 arrived = 0;
  bool released = false;
  std::vector<std::unique_ptr<blocker_t>> blockers;
  std::thread gate_holder;
};

void hold_t::hold() {
  state_ = std::make_shared<state_t>();
  state_t* state = state_.get();
  u32 parties = 1;
  if (what_ == finalization_gate) {
    state->gate_holder = std::thread([state] {
      take_finalization_gate();
      state->arrive_and_wait();
      release_finalization_gate();
    });
  } else {
    parties = thread::pool_worker_count();
    for (u32 i = 0; i < parties; ++i) {
      state->blockers.push_back(std::make_unique<state_t::blocker_t>(*state));
      if (state->blockers.back()->mark_queued()) thread::post_task(state->blockers.back().get());
    }
  }
  std::unique_lock<std::mutex> hold(state->lock);
  state->signal.wait(hold, [&] { return state->arrived == parties; });
}

void hold_t::release() {
  if (!state_) return;
  {
    std::lock_guard<std::mutex> hold(state_->lock);
    state_->released = true;
  }
  state_->signal.notify_all();
  for (auto& blocker : state_->blockers) thread::wait_task(blocker.get());
  if (state_->gate_holder.joinable()) state_->gate_holder.join();
  state_.reset();
}

void deliver_until(headless_ui_t& ui, u32 message) {
  const u32 before = ui.delivered(message);
  for (u32 waited = 0; ui.delivered(message) == before; ++waited) {
    if (waited == 600) {
      ADD_FAILURE() << "message " << message << " did not come within a minute";
      return;
    }
    ui.deliver_next(100);
  }
}

player_t presses(std::vector<u32> buttons, std::vector<bool> answers) {
  auto next_button = std::make_shared<size_t>(0);
  auto next_answer = std::make_shared<size_t>(0);
  player_t player;
  player.idle = [buttons, next_button](headless_ui_t& ui) {
    // An operation page reports until it ends.
    if (*next_button >= buttons.size() || ui.control(1003)) return false;
    const u32 button = buttons[(*next_button)++];
    if (button == ui::command_accept) {
      ui.enter();
      return true;
    }
    if (ui.press(button)) return true;
    ADD_FAILURE() << "button " << button << " cannot be pressed on page " << current_page_id();
    exit_wizard(-1);
    return true;
  };
  player.answer = [answers, next_answer](headless_ui_t&, const std::string&) {
    return *next_answer < answers.size() && answers[(*next_answer)++];
  };
  return player;
}

fs::path wizard_test_t::sample(const std::string& version) { return fs::path(ORVO_SAMPLE_GAME_DIR) / version; }

void wizard_test_t::SetUp() {
  runtime_startup();
  static int counter = 0;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  static const fs::path base = fs::temp_directory_path();
  root_ = base / ("wizard_" + std::to_string(stamp) + "_" + std::to_string(counter++));
  fs::create_directories(root_ / "temp");
  set_variable("TMPDIR", (root_ / "temp").string());
  set_variable("TMP", (root_ / "temp").string());
  container = read_file(fs::path(ORVO_SAMPLE_GAME_DIR) / "sample.ktlc");
  log = new testing::log_capture_t;
}

void wizard_test_t::TearDown() {
  set_variable("TMPDIR", original_tmpdir);
  set_variable("TMP", original_tmp);
  delete log;
  runtime_shutdown();
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void wizard_test_t::install(const std::string& version) {
  reset();
  fs::copy(sample(version), game(), fs::copy_options::recursive);
}

void wizard_test_t::reset() {
  std::error_code ignored;
  fs::remove_all(game(), ignored);
  fs::create_directories(game());
  container = read_file(fs::path(ORVO_SAMPLE_GAME_DIR) / "sample.ktlc");
  container_missing = false;
  available_space = [] { return u64(1) << 40; };
  log->lines.clear();
  log->levels.clear();
}

std::u16string wizard_test_t::appdir() const { return u"-appdir \"" + to_u16(game().generic_string()) + u"\""; }

outcome_t wizard_test_t::run(const std::u16string& command_line, const player_t& player) {
  running = this;
  running_player = &player;
  patcher_platform_t platform;
  platform.create_ui = [](void*, bool) {
    auto* made = new headless_ui_t(driver);
    running->ui = made;
    return auto_ptr_t<ui::ui_t>(made);
  };
  platform.find_container = [](void*, embedded_container_t& out) {
    if (running->container_missing) return embedded_container_status_t::not_found;
    out.data = running->container.data();
    out.size = running->container.size();
    return out.size ? embedded_container_status_t::found : embedded_container_status_t::empty;
  };
  platform.query_available_space = [](const string&) { return running->available_space(); };
  const size_t first_line = log->lines.size();
  outcome_t outcome;
  outcome.exit_code = patcher_main(nullptr, command_line.c_str(), platform);
  const std::string prefix = "Entering page: ";
  for (size_t i = first_line; i < log->lines.size(); ++i)
    if (log->lines[i].rfind(prefix, 0) == 0) outcome.pages.push_back(log->lines[i].substr(prefix.size()));
  ui = nullptr;
  return outcome;
}

} // namespace orvo::wizard
