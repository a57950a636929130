#include "patch/file_patching_info.h"

namespace orvo::patch {

namespace {

constexpr u64 base_space = 0xA00000;
constexpr u64 space_per_changed_file = 0x4B000;

u64 saturating_add(u64 a, u64 b) { return a > space_unknown - b ? space_unknown : a + b; }

} // namespace

u64 get_required_free_space(const patching_infos_t& infos) {
  u64 total = base_space;
  for (const auto_ptr_t<file_patching_info_t>& info : infos) {
    if (info->action == patch_action_t::unchanged) continue;
    total = saturating_add(total, space_per_changed_file);
    if (info->action != patch_action_t::patch) continue;
    if (info->required_space == space_unknown) return space_unknown;
    total = saturating_add(total, info->required_space);
  }
  return total;
}

bool is_patch_necessary(const patching_infos_t& infos) {
  for (const auto_ptr_t<file_patching_info_t>& info : infos)
    if (info->action != patch_action_t::unchanged) return true;
  return false;
}

} // namespace orvo::patch
