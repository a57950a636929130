#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// The installation found by discovery; empty until then.
const string_dyn_t& game_directory();

// What the Welcome page refuses to continue with (only hides its Next button).
struct environment_refusals_t {
  bool not_administrator = false;
  bool another_instance = false;
};

// "-appdir" alone when given, else the current directory, else the registry.
bool discover_installation();
// Accepts the directory when the reference file is in it and stores it as the game directory.
bool check_candidate_directory(const string& directory);
void query_current_directory(mstring_t& out);
// Whether the game directory accepts a new file; access denied means no administrator rights.
void test_writability(environment_refusals_t& refusals);
void check_single_instance(environment_refusals_t& refusals);
bool is_steam_installation();

// Discovery, the writability test when something was found, and the instance check.
environment_refusals_t examine_environment();

// A new run starts without a game directory.
void forget_game_directory();

} // namespace orvo
