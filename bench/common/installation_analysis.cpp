#include "installation_analysis.h"

#include "opened_container.h"
#include "ovcore/system/processors.h"
#include "patch/analyze_patch.h"
#include "process_usage.h"

#include <chrono>
#include <cstdio>

namespace orvo::bench {

namespace {

// Every file found installed, hashed and given a patch.
bool all_patched(const patch::patching_infos_t& results, u32 expected_files) {
  if (results.size() != expected_files) return false;
  for (const auto& info : results)
    if (info->action != patch::patch_action_t::patch) return false;
  return true;
}

} // namespace

int time_installation_analysis(const std::string& container, const std::string& installation,
                               const std::string& public_key, u32 expected_files) {
  opened_container_t opened;
  if (!opened.open(container, public_key)) return 1;

  array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> results;
  const double cpu_start = process_cpu_seconds();
  const auto start = std::chrono::steady_clock::now();
  const patch::analyze_patch_result_t result =
      patch::analyze_installation(results, opened.pool(), installation.c_str(), nullptr);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu_seconds = process_cpu_seconds() - cpu_start;
  const bool ok = result == patch::analyze_patch_result_t::ok && all_patched(results, expected_files);
  std::printf("analyze_installation result=%s records=%u all_patch=%s seconds=%.3f cpu_seconds=%.3f processors=%u "
              "peak_mib=%llu\n",
              patch::analyze_patch_result_name(static_cast<u32>(result)), results.size(), ok ? "yes" : "no", seconds,
              cpu_seconds, processors().size(), static_cast<unsigned long long>(peak_resident_bytes() >> 20));
  return ok ? 0 : 1;
}

} // namespace orvo::bench
