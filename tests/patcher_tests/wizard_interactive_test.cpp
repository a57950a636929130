// The wizard with a player at the screen: every transition a player can take, the questions,
// languages, icons and progress.
#include "patcher_tests/faulty_device.h"
#include "patcher_tests/wizard_support.h"

#include "ovcore/ufs/fs_runtime.h"
#include "patch/apply_patch.h"
#include "tools/patcher/application.h"
#include "tools/patcher/languages/language_directory.h"
#include "tools/patcher/pages/pages.h"
#include "tools/patcher/patcher_pool.h"
#include "tools/patcher/wizard/page_engine.h"

#include <fstream>
#include <thread>

namespace orvo::wizard {
namespace {

constexpr u32 next = 1000, retest = 1001, exit_button = 1002, abort_button = 1003, enter = ui::command_accept;
constexpr u64 mib = 1 << 20;

const std::vector<std::string> to_analysis = {"Welcome", "Installer verification", "Analysis"};

std::vector<std::string> path_of(std::initializer_list<const char*> after_analysis) {
  std::vector<std::string> pages = to_analysis;
  pages.insert(pages.end(), after_analysis.begin(), after_analysis.end());
  return pages;
}

struct transition_case_t {
  const char* name;
  const char* installed;  // nullptr: nothing installed
  std::vector<u32> presses;
  std::vector<bool> answers;
  u64 (*free_space)(u32 query);
  std::vector<std::string> pages;
  bool updated;
  u32 questions;
};

u64 plenty(u32) { return u64(1) << 40; }
u64 short_of_space(u32) { return 13 * mib; }
u64 freed_on_retest(u32 query) { return query == 0 ? 13 * mib : u64(1) << 40; }
// Whole megabytes, strictly: exactly as many free as needed is too few.
u64 just_the_megabytes_needed(u32) { return (get_required_free_space() / mib + 1) * mib + mib - 1; }
u64 one_megabyte_more(u32) { return just_the_megabytes_needed(0) + mib; }

const transition_case_t transition_cases[] = {
    {"update, then exit", "1.13.1", {next, exit_button}, {}, plenty, path_of({"Patching", "Finished"}), true, 0},
    {"Enter goes forward, and exits where there is no forward", "1.13.1", {enter, enter}, {}, plenty,
     path_of({"Patching", "Finished"}), true, 0},
    {"exit declined, then confirmed", "1.13.1", {exit_button, exit_button}, {false, true}, plenty, {"Welcome"}, false, 2},
    {"failure page exits with 0", nullptr, {next, exit_button}, {}, plenty, {"Welcome", "Not found"}, false, 0},
    {"re-test after space was freed", "1.13.1", {next, retest, exit_button}, {}, freed_on_retest,
     path_of({"Insufficient space", "Patching", "Finished"}), true, 0},
    {"re-test still short, continue anyway", "1.13.1", {next, retest, next, exit_button}, {}, short_of_space,
     path_of({"Insufficient space", "Insufficient space", "Patching", "Finished"}), true, 0},
    {"exit on too little space", "1.13.1", {next, exit_button}, {}, short_of_space, path_of({"Insufficient space"}),
     false, 0},
    {"just the megabytes needed", "1.13.1", {next, exit_button}, {}, just_the_megabytes_needed,
     path_of({"Insufficient space"}), false, 0},
    {"one megabyte more", "1.13.1", {next, exit_button}, {}, one_megabyte_more, path_of({"Patching", "Finished"}), true,
     0},
};

TEST_F(wizard_test_t, page_transitions) {
  for (const transition_case_t& c : transition_cases) {
    SCOPED_TRACE(c.name);
    reset();
    if (c.installed) install(c.installed);
    const files_t before = snapshot(game());
    u32 queries = 0;
    available_space = [&] { return c.free_space(queries++); };
    u32 questions = 0;
    player_t player = presses(c.presses, c.answers);
    const auto answer = player.answer;
    player.answer = [&](headless_ui_t& ui, const std::string& text) {
      questions = static_cast<u32>(ui.questions().size());
      return answer(ui, text);
    };
    const outcome_t outcome = run(appdir(), player);
    EXPECT_EQ(outcome.exit_code, 0);
    EXPECT_EQ(outcome.pages, c.pages);
    EXPECT_EQ(questions, c.questions);
    EXPECT_TRUE(same_files(snapshot(game()), c.updated ? snapshot(sample("1.13.3")) : before));
  }
}

// The abort question on the three operation pages; the operation waits for the pool (or at the
// finalization gate) until the player has acted.
struct abort_case_t {
  const char* name;
  u32 page;
  bool answer;
  // The operation ends while the question is open.
  bool ends_while_asking;
  bool at_finalization;
  const char* last_page;
  const char* log_line;
  u32 questions;
  fault_plan_t fault = {};
};

const abort_case_t abort_cases[] = {
    {"verification, declined", 2, false, false, false, "Finished", "[WRN] Abort requested", 1},
    {"verification, confirmed", 2, true, false, false, "Aborted", "[WRN] Verification was aborted", 1},
    {"analysis ended while asking, confirmed", 3, true, true, false, "Aborted", "[WRN] Analysis was aborted", 1},
    // Patching cannot finish under the question (finalization waits for it), but it can fail;
    // its result decides, not the answer.
    {"patching failed while asking, confirmed", 5, true, true, false, "Write error",
     "[ERR] Patching failed: 7 (write_error)", 1, {fault_t::write, "main.pak.tmp.0"}},
    {"patching, confirmed", 5, true, false, false, "Aborted", "[WRN] Patching was aborted", 1},
    {"patching at finalization", 5, true, false, true, "Finished",
     "[WRN] Finalization already running, abort impossible", 0},
};

TEST_F(wizard_test_t, abort_question) {
  for (const abort_case_t& c : abort_cases) {
    SCOPED_TRACE(c.name);
    install("1.13.1");
    const files_t before = snapshot(game());
    hold_t pool(hold_t::pool_workers);
    hold_t gate(hold_t::finalization_gate);
    auto hold = [&] {
      if (c.at_finalization) gate.hold();
      else pool.hold();
    };
    if (c.page == 2) hold();
    available_space = [&] {
      if (c.page == 5) hold();
      return u64(1) << 40;
    };
    bool asked = false, second_request_ignored = false;
    player_t player;
    player.idle = [&](headless_ui_t& ui) {
      if (current_page_id() == 1) return ui.press(next);
      if (c.page == 3 && current_page_id() == 2 && !asked) {
        // Analysis starts next: keep it in the queue.
        hold();
        pool.release();
      }
      if (current_page_id() == c.page && !asked) {
        asked = true;
        if (c.page == 3) hold();
        if (c.at_finalization) {
          while (!finalization_reported()) ui.deliver_next(10);
          while (ui.deliver_next(10)) {
          }
          EXPECT_FALSE(ui.control(abort_button)->enabled);
          ui.close();
          gate.release();
        } else {
          EXPECT_TRUE(ui.press(abort_button));
          pool.release();
        }
        return true;
      }
      if (current_page_id() >= 6) return ui.press(exit_button);
      return false;
    };
    player.answer = [&](headless_ui_t& ui, const std::string& text) {
      EXPECT_EQ(text, find_language_record(application.current_language)[key_abort_question]);
      // A second request while the question is open is ignored.
      const size_t lines = log->lines.size();
      ui.close();
      second_request_ignored = log->lines.size() > lines && ui.questions().size() == 1;
      pool.release();
      if (c.ends_while_asking) deliver_until(ui, ui::message_operation_ended);
      return c.answer;
    };
    faulty_device_t device(*real_native_device(), c.fault);
    set_device_in_front(&device);
    const outcome_t outcome = run(appdir(), player);
    set_device_in_front(nullptr);
    EXPECT_EQ(outcome.exit_code, 0);
    ASSERT_FALSE(outcome.pages.empty());
    EXPECT_EQ(outcome.pages.back(), c.last_page);
    EXPECT_TRUE(log->contains(c.log_line));
    if (c.questions) {
      EXPECT_TRUE(second_request_ignored);
    }
    EXPECT_EQ(log->contains("[WRN] Abort confirmed"), c.answer && !c.at_finalization);
    const bool updated = std::string(c.last_page) == "Finished";
    EXPECT_TRUE(same_files(snapshot(game()), updated ? snapshot(sample("1.13.3")) : before));
  }
}

// Welcome page: the language list, and texts, caption and buttons in the language chosen.
TEST_F(wizard_test_t, language_change_resets_the_welcome_texts) {
  install("1.13.1");
  const u32 chosen[] = {0x0007, 0x0C1A, 0x0411};
  player_t player;
  player.idle = [&](headless_ui_t& ui) {
    const ui::headless_ui_t::control_t* list = ui.control(1008);
    EXPECT_EQ(list->entries.size(), language_count);
    for (size_t i = 1; i < list->entries.size(); ++i) EXPECT_LE(list->entries[i - 1].text, list->entries[i].text);
    for (u32 id : chosen) {
      SCOPED_TRACE(id);
      EXPECT_TRUE(ui.select_list_item(id));
      const language_record_t& texts = find_language_record(id);
      EXPECT_EQ(ui.caption(), std::string("Velmora II - ") + texts[key_title_word] + " 1.13.3");
      std::string welcome = texts[key_welcome_text];
      welcome.replace(welcome.find("$VERSION$"), 9, "1.13.3");
      EXPECT_EQ(ui.text(1007), welcome);
      EXPECT_EQ(ui.text(1000), texts[key_button_continue]);
      EXPECT_EQ(ui.text(1002), texts[key_button_exit]);
      EXPECT_EQ(list->entries[static_cast<size_t>(list->selection)].text, texts[key_language_name]);
      char line[40];
      std::snprintf(line, sizeof line, "Selected language: %x", id);
      EXPECT_TRUE(log->contains(line));
    }
    ui.close();
    return true;
  };
  player.answer = [](headless_ui_t&, const std::string&) { return true; };
  EXPECT_EQ(run(appdir(), player).exit_code, 0);
}

// Result pages: the composed text in every language names the log file and keeps no placeholder.
TEST_F(wizard_test_t, result_texts_in_every_language) {
  application.log_file_path.set("/tmp/.ktl/kora_patch_00000000675F1234.log");
  for (const language_entry_t& language : language_directory) {
    application.current_language = language.id;
    for (u32 page = 6; page <= 20; ++page) {
      SCOPED_TRACE(std::to_string(language.id) + " page " + std::to_string(page));
      string_dyn_t text;
      compose_result_text(text, page);
      const std::string composed = text.c_str();
      EXPECT_FALSE(composed.empty());
      EXPECT_EQ(composed.find('$'), std::string::npos);
      const bool names_log = composed.find("\\tmp\\.ktl\\kora_patch_00000000675F1234.log") != std::string::npos;
      EXPECT_EQ(names_log, page == 8 || page >= 11);
    }
  }
}

// What a player sees on the pages that wait at the end: text, icon and the Exit button.
TEST_F(wizard_test_t, end_page_look) {
  struct look_case_t {
    const char* installed;
    u64 free_space;
    u32 page;
    bool icon_drawn;
    ui::standard_icon_t icon;
  };
  const look_case_t cases[] = {
      {"1.13.1", u64(1) << 40, 6, false, ui::standard_icon_t::error},
      {"1.13.1", 13 * mib, 4, true, ui::standard_icon_t::warning},
      {nullptr, u64(1) << 40, 12, true, ui::standard_icon_t::error},
  };
  for (const look_case_t& c : cases) {
    SCOPED_TRACE(c.page);
    reset();
    if (c.installed) install(c.installed);
    available_space = [&] { return c.free_space; };
    bool looked = false;
    player_t player;
    player.idle = [&](headless_ui_t& ui) {
      if (current_page_id() == 1) return ui.press(next);
      if (current_page_id() != c.page) return false;
      ui.deliver_next(10);
      looked = true;
      const std::string text = ui.text(1007);
      EXPECT_EQ(text.find('$'), std::string::npos);
      EXPECT_EQ(ui.text(exit_button), "Exit");
      EXPECT_EQ(ui.page_icon().drawn, c.icon_drawn);
      if (c.icon_drawn) {
        EXPECT_EQ(ui.page_icon().icon, c.icon);
        // Dialog point (17, 7) in pixels, 16 to the left.
        EXPECT_EQ(ui.page_icon().x, 17 * 6 / 4 - 16);
        EXPECT_EQ(ui.page_icon().y, 7 * 13 / 8);
      }
      if (c.page == 4) {
        EXPECT_NE(text.find("at least " + std::to_string(get_required_free_space() / mib + 1) + " MB"), std::string::npos);
        EXPECT_EQ(ui.text(next), "Continue Anyway");
        EXPECT_EQ(ui.text(retest), "Retry");
      }
      return ui.press(exit_button);
    };
    application.current_language = 0x0409;
    EXPECT_EQ(run(appdir(), player).exit_code, 0);
    EXPECT_TRUE(looked);
  }
}

// A worker reporting faster than the page can show: one message waits at a time, and the page
// shows the latest record.
TEST_F(wizard_test_t, progress_messages_coalesce) {
  install("1.13.1");
  hold_t pool(hold_t::pool_workers);
  pool.hold();
  player_t player;
  bool checked = false;
  player.idle = [&](headless_ui_t& ui) {
    if (current_page_id() == 1) return ui.press(next);
    if (current_page_id() != 2 || checked) return false;
    checked = true;
    while (ui.deliver_next(10)) {
    }
    const u32 before = ui.delivered(ui::message_progress);
    std::thread worker([] {
      for (u64 i = 1; i <= 20000; ++i) post_progress({7, 0, 1, i, 20000});
      post_progress({7, 0, 1, 20000, 20000});
    });
    worker.join();
    while (ui.deliver_next(10)) {
    }
    EXPECT_EQ(ui.delivered(ui::message_progress), before + 1);
    EXPECT_EQ(ui.control(1006)->position, 20000u);
    EXPECT_EQ(ui.control(1006)->upper, 20000u);
    // Large totals are scaled until they fit a bar.
    set_progress_bar(ui.page(), 1006, 5000000000, 10000000000);
    EXPECT_EQ(ui.control(1006)->upper, 1000000000u);
    EXPECT_EQ(ui.control(1006)->position, 500000000u);
    set_progress_bar(ui.page(), 1006, 2147483647, 2147483647);
    EXPECT_EQ(ui.control(1006)->upper, 214748364u);
    pool.release();
    return true;
  };
  EXPECT_EQ(run(u"-automatic " + appdir(), player).exit_code, 0);
  EXPECT_TRUE(checked);
}

} // namespace
} // namespace orvo::wizard
