#pragma once
#include "ovcore/types.h"

#include <string>

namespace orvo::bench {

// Opens the container in memory, the public key its only key, and times analyze_installation over
// the installation. Prints one line: the result, the record count, whether all expected_files got
// a patch, the seconds (wall clock and processor), the processors and the peak resident memory.
// Returns the exit status: 0 when the analysis is ok and every expected file gets a patch.
int time_installation_analysis(const std::string& container, const std::string& installation,
                               const std::string& public_key, u32 expected_files);

} // namespace orvo::bench
