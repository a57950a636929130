#pragma once

namespace orvo {

// True when the process environment holds the variable, whatever its value (also when empty).
bool environment_variable_exists(const char* name);

} // namespace orvo
