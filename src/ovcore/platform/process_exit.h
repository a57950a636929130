#pragma once

namespace orvo::platform {

// Ends the process at once without running destructors (a non-continuable exception on Windows).
[[noreturn]] void terminate_abnormally();

} // namespace orvo::platform
