#include "update_plan.h"

namespace orvo::bench {

namespace {

constexpr u32 edited_spacing = 5;
constexpr u32 added_spacing = 50;
// Offsets within the spacings; unequal modulo 5, so no file is both edited and new.
constexpr u32 edited_offset = 0;
constexpr u32 added_offset = 1;

} // namespace

file_change_t change_of(u32 index) {
  if (index % added_spacing == added_offset) return file_change_t::added;
  if (index % edited_spacing == edited_offset) return file_change_t::edited;
  return file_change_t::unchanged;
}

std::string pristine_folder(const std::string& folder) { return folder + "/installation"; }
std::string targets_folder(const std::string& folder) { return folder + "/targets"; }
std::string deltas_folder(const std::string& folder) { return folder + "/deltas"; }
std::string update_container_path(const std::string& folder) { return folder + "/container.ktlp"; }
std::string installed_list_path(const std::string& folder) { return folder + "/installed.txt"; }
std::string target_list_path(const std::string& folder) { return folder + "/targets.txt"; }

} // namespace orvo::bench
