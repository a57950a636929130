#include "tools/patcher/installation_discovery.h"

#include "ovcore/messages/messages.h"
#include "ovcore/platform/creation_probe.h"
#include "ovcore/platform/current_directory.h"
#include "ovcore/system/instance_mutex.h"
#include "ovcore/system/registry.h"
#include "ovcore/ufs/file_system.h"
#include "tools/patcher/application.h"
#include "tools/patcher/product_config.h"

namespace orvo {

namespace {

string_dyn_t found_directory;

bool ends_with_separator(const string& directory) {
  const u32 length = directory.length();
  if (length == 0) return false;
  const char last = directory.c_str()[length - 1];
  return last == '/' || last == '\\';
}

// The directory and a name inside it, without doubling a trailing separator.
bool join_inside(mstring_t& out, const string& directory, const char* name) {
  return out.format(ends_with_separator(directory) ? "%s%s" : "%s/%s", directory.c_str(), name);
}

bool is_regular_file(const string& path) {
  file_info_t info;
  return stat_path(path, &info) && info.kind == file_kind_file;
}

} // namespace

const string_dyn_t& game_directory() { return found_directory; }

void forget_game_directory() { found_directory.clear(); }

bool check_candidate_directory(const string& directory) {
  if (directory.empty()) return false;
  string_dyn_t path;
  if (!join_inside(path, directory, reference_file)) {
    log_error("[ERR] Unable to combine path from '%s' and '%s'", directory.c_str(), reference_file);
    return false;
  }
  if (!is_regular_file(path)) return false;
  found_directory.set(directory);
  log_info("Found application directory: %s", found_directory.c_str());
  return true;
}

void query_current_directory(mstring_t& out) {
  out.clear();
  string_dyn_t directory;
  if (!get_current_directory(directory)) {
    log_error("[ERR] Unable to retrieve current directory");
    return;
  }
  if (directory.empty()) {
    log_error("[ERR] Current directory is empty");
    return;
  }
  out.set(directory);
}

bool discover_installation() {
  log_info("Looking for the reference file: %s", reference_file);
  if (!application.external_app_dir.empty()) {
    log_info("Checking externally provided directory: %s", application.external_app_dir.c_str());
    return check_candidate_directory(application.external_app_dir);
  }
  string_dyn_t current;
  query_current_directory(current);
  log_info("Checking current directory: %s", current.c_str());
  if (check_candidate_directory(current)) return true;
  string_dyn_t value_path;
  value_path.format(install_dir_registry_value, product_name);
  log_info("Checking registry key: %s", value_path.c_str());
  string_dyn_t registered;
  if (!registry_read_string(registered, value_path)) {
    log_info("Unable to retrieve value, the game is likely not installed.");
    return false;
  }
  return check_candidate_directory(registered);
}

void test_writability(environment_refusals_t& refusals) {
  log_info("Testing writability of the application directory '%s'", found_directory.c_str());
  u32 error = 0;
  switch (probe_file_creation(found_directory, writability_test_file, error)) {
  case creation_probe_t::created:
    break;
  case creation_probe_t::access_denied:
    refusals.not_administrator = true;
    log_info("Unable to create test file - access denied, probably not running as administrator");
    break;
  case creation_probe_t::failed:
    log_info("Unable to create test file %08X", error);
    break;
  }
}

void check_single_instance(environment_refusals_t& refusals) {
  // Held until the process ends: a second run in this process finds its own mutex.
  static bool held_by_this_process = false;
  if (held_by_this_process) return;
  if (acquire_instance_mutex(instance_name)) held_by_this_process = true;
  else refusals.another_instance = true;
}

bool is_steam_installation() {
  string_dyn_t path;
  return join_inside(path, found_directory, steam_marker) && is_regular_file(path);
}

environment_refusals_t examine_environment() {
  environment_refusals_t refusals;
  if (discover_installation()) test_writability(refusals);
  check_single_instance(refusals);
  return refusals;
}

} // namespace orvo
