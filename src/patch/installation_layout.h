#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/strings/strings.h"
#include "patch/analyze_patch_result.h"
#include "patch/container_pool.h"
#include "patch/layout_path.h"

namespace orvo::patch {

// Names this game's layout records: the base "kora", the configuration "kora_cfg" and one
// "kora.<archive stem>" per DLC archive.
inline constexpr char game_short_name[] = "kora";
inline constexpr char configuration_archive_name[] = "base_cfg.ktl";

// The files the update covers in this installation: the base layout's paths, then those of the
// configuration layout chosen by the installed configuration archive's digest, then those of
// each installed DLC archive's layout in listing order. out is appended to.
analyze_patch_result_t build_layout(array_t<layout_path_t>& out, const container_pool_t& pool,
                                    const string& directory);

} // namespace orvo::patch
