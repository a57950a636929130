#include "installation_check.h"

#include "commands.h"
#include "tools/publisher/file_io.h"

#include "ovcore/messages/messages.h"
#include "patch/analyze_patch.h"
#include "patch/container_pool.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvo::publisher {

namespace {

const char* action_name(patch::patch_action_t action) {
  switch (action) {
  case patch::patch_action_t::unchanged: return "unchanged";
  case patch::patch_action_t::delete_file: return "delete";
  case patch::patch_action_t::set_to_zero: return "empty";
  case patch::patch_action_t::patch: return "patch";
  }
  return "?";
}

// The installed size, or -1 when the file is not there.
std::string installed_size(const patch::file_patching_info_t& info) {
  std::error_code error;
  const auto size = std::filesystem::file_size(utf8_path(info.path.c_str()), error);
  return error ? std::string("-") : std::to_string(size);
}

std::string target_size(const patch::container_pool_t& pool, const patch::file_patching_info_t& info) {
  if (info.action != patch::patch_action_t::patch || info.chain.empty()) return "-";
  u64 size = 0;
  if (pool.get_diff_output_size(size, info.chain[info.chain.size() - 1]) != patch::diff_size_result_t::ok) return "?";
  return std::to_string(size);
}

void print_entry(const patch::container_pool_t& pool, const patch::file_patching_info_t& info, size_t prefix) {
  const char* relative = info.path.c_str() + (info.path.length() > prefix ? prefix : 0);
  std::printf("%-9s %6u  %12s -> %-12s  %s\n", action_name(info.action), info.chain.size(), installed_size(info).c_str(),
              target_size(pool, info).c_str(), relative);
}

bool read_container(const std::string& file, std::string& out) {
  std::ifstream in(utf8_path(file), std::ios::binary);
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad() || !in.is_open()) {
    log_error("[ERR] Unable to read '%s'", file.c_str());
    return false;
  }
  if (out.size() > 0xFFFFFFFFu) {
    log_error("[ERR] '%s' is larger than the updater can carry", file.c_str());
    return false;
  }
  return true;
}

} // namespace

int check_installation(const std::string& container_file, const container_key_t& key, const std::string& directory) {
  std::error_code error;
  if (!std::filesystem::is_directory(utf8_path(directory), error)) {
    log_error("[ERR] '%s' is not a directory", directory.c_str());
    return exit_failure;
  }
  std::string bytes;
  if (!read_container(container_file, bytes)) return exit_failure;
  const file_layer_t files;
  const rsa_public_key_t record = key.record();
  array_dyn_t<const rsa_public_key_t*> keys;
  keys.push(&record);
  patch::container_pool_t pool;
  const patch::container_open_result_t opened =
      pool.add_container(bytes.data(), static_cast<u32>(bytes.size()), nullptr, &keys);
  if (opened != patch::container_open_result_t::ok) {
    std::printf("container: %s\n", patch::container_open_result_name(static_cast<u32>(opened)));
    return exit_failure;
  }
  array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> infos;
  const patch::analyze_patch_result_t result = patch::analyze_installation(infos, pool, directory.c_str(), nullptr);
  std::printf("action     diffs     installed -> target        file\n");
  for (const auto_ptr_t<patch::file_patching_info_t>& info : infos) print_entry(pool, *info, directory.size() + 1);
  const u32 value = static_cast<u32>(result);
  std::printf("analysis: %u (%s)\n", value, patch::analyze_patch_result_name(value));
  if (result != patch::analyze_patch_result_t::ok) return exit_failure;
  if (!patch::is_patch_necessary(infos)) {
    std::printf("outcome: already up to date\n");
    return exit_success;
  }
  const u64 required = patch::get_required_free_space(infos);
  if (required == patch::space_unknown) std::printf("required space: unknown\n");
  else std::printf("required space: %" PRIu64 " bytes\n", required);
  std::printf("outcome: update\n");
  return exit_success;
}

} // namespace orvo::publisher
