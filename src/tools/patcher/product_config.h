#pragma once

namespace orvo {

// Fixed at build time.
inline constexpr const char* target_version = "1.13.3";
inline constexpr const char* product_abbreviation = "kora";
inline constexpr const char* automatic_mode_variable = "KTL_PATCH_OPTION_AUTOMATIC";
inline constexpr unsigned command_line_max_units = 100000;

} // namespace orvo
