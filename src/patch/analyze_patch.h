#pragma once
#include "ovcore/progress/task_progress.h"
#include "patch/analyze_patch_result.h"
#include "patch/container_pool.h"
#include "patch/file_patching_info.h"
#include "patch/layout_path.h"

namespace orvo::patch {

// Progress stage of the analysis; the final report uses stage 0.
constexpr u64 stage_analysis = 0x000003126A89CB87ull;

// Threads that hash installed files ahead of the analysis; 0: one per processor, at most 8.
extern u32 analysis_hash_workers;

// Decides for every layout entry, in order, what the update does with its file, appending one
// record per entry analysed. installed is the sorted list of installed files; the callback may
// be null. Stops at the first failure, keeping the records completed before it.
analyze_patch_result_t analyze_patch(patching_infos_t& results, const array_t<layout_path_t>& layout,
                                     const array_t<string_dyn_t>& installed, const container_pool_t& pool,
                                     const string& directory, progress_callback_t* callback);

// The analysis operation: layout, installed files, then analyze_patch.
analyze_patch_result_t analyze_installation(patching_infos_t& results, const container_pool_t& pool,
                                            const string& directory, progress_callback_t* callback);

} // namespace orvo::patch
