#include "timed_update.h"

#include "opened_container.h"
#include "ovcore/system/processors.h"
#include "patch/analyze_patch.h"
#include "patch/apply_patch.h"
#include "phase_clock.h"
#include "process_usage.h"
#include "sample_installation.h"
#include "update_plan.h"

#include <cstdio>

namespace orvo::bench {

namespace {

struct action_counts_t {
  u32 patch = 0;
  u32 unchanged = 0;
  u64 rebuild_steps = 0;
};

action_counts_t count_actions(const patch::patching_infos_t& results) {
  action_counts_t counts;
  for (const auto& info : results) {
    if (info->action == patch::patch_action_t::patch) ++counts.patch;
    if (info->action == patch::patch_action_t::unchanged) ++counts.unchanged;
    counts.rebuild_steps += info->chain.size();
  }
  return counts;
}

// Every edited and new file patched, every other file left as it is.
bool planned(const action_counts_t& counts, u32 records) {
  u32 changes = 0;
  for (u32 i = 0; i < sample_file_count; ++i) changes += change_of(i) != file_change_t::unchanged;
  return records == sample_file_count && counts.patch == changes && counts.unchanged == sample_file_count - changes;
}

void print_phases(const phase_clock_t& clock) {
  for (u32 phase = static_cast<u32>(update_phase_t::preparation); phase < update_phase_count; ++phase)
    std::printf(" %s_seconds=%.3f", update_phase_names[phase], clock.seconds(static_cast<update_phase_t>(phase)));
}

} // namespace

int time_update(const std::string& container, const std::string& installation, const std::string& public_key,
                bool phases) {
  opened_container_t opened;
  if (!opened.open(container, public_key)) return 1;

  array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> results;
  phase_clock_t clock;
  const double cpu_start = process_cpu_seconds();
  clock.start();
  const patch::analyze_patch_result_t analysis =
      patch::analyze_installation(results, opened.pool(), installation.c_str(), nullptr);
  clock.enter(update_phase_t::preparation);
  if (analysis != patch::analyze_patch_result_t::ok) {
    std::printf("update analysis=%s\n", patch::analyze_patch_result_name(static_cast<u32>(analysis)));
    return 1;
  }
  const action_counts_t counts = count_actions(results);
  const bool as_planned = planned(counts, results.size());
  clock.set_rebuild_steps(counts.rebuild_steps);
  const patch::apply_patch_result_t application = patch::apply_patch(results, opened.pool(), phases ? &clock : nullptr);
  clock.stop();
  const double cpu_seconds = process_cpu_seconds() - cpu_start;

  std::printf("update analysis=ok application=%s patch=%u unchanged=%u planned=%s seconds=%.3f analysis_seconds=%.3f "
              "application_seconds=%.3f",
              patch::apply_patch_result_name(static_cast<u32>(application)), counts.patch, counts.unchanged,
              as_planned ? "yes" : "no", clock.total_seconds(), clock.seconds(update_phase_t::analysis),
              clock.total_seconds() - clock.seconds(update_phase_t::analysis));
  if (phases) print_phases(clock);
  std::printf(" cpu_seconds=%.3f processors=%u peak_mib=%llu\n", cpu_seconds, processors().size(),
              static_cast<unsigned long long>(peak_resident_bytes() >> 20));
  return application == patch::apply_patch_result_t::ok && as_planned ? 0 : 1;
}

} // namespace orvo::bench
