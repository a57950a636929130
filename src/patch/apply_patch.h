#pragma once
#include "ovcore/progress/task_progress.h"
#include "patch/apply_patch_result.h"
#include "patch/container_pool.h"
#include "patch/file_patching_info.h"

namespace orvo::patch {

// Stage of finalization: from its first report on, stopping is no longer possible.
constexpr u64 finalization_marker = 0x000001A930C6B20Aull;

// Pause between attempts to remove a temporary that resists (ten attempts at most).
extern u32 temporary_removal_retry_ms;

// Rebuilds every changed file into temporaries beside it, verifies each against its target
// digest, then deletes and moves files in layout order, inside one transaction where the
// platform offers one. Nothing installed changes before that last phase. temporaries receives
// the name of every temporary created.
apply_patch_result_t apply_patch_internal(array_t<string_dyn_t>& temporaries, patching_infos_t& infos,
                                          const container_pool_t& pool, progress_callback_t* callback);

// apply_patch_internal, then the records are destroyed (closing their files) and every
// temporary left is removed. The records are consumed whatever the result.
apply_patch_result_t apply_patch(patching_infos_t& infos, const container_pool_t& pool,
                                 progress_callback_t* callback);

} // namespace orvo::patch
