#pragma once
#include "tools/patcher/application.h"

namespace orvo {

// The whole run: command line in UTF-16 without the program name; result is the exit code.
i32 patcher_main(void* module_instance, const wchar16_t* command_line, const patcher_platform_t& platform);

inline constexpr i32 exit_code_rejected_command_line = 13;

} // namespace orvo
