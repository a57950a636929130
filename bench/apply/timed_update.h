#pragma once
#include <string>

namespace orvo::bench {

// Updates the installation with the container as the updater does, the public key its only key:
// analyze_installation, then apply_patch, timed together in this process; the container is read
// and opened before. With phases, the application reports its progress to a phase clock.
// Prints one line: the results, the actions the analysis chose, the seconds (the whole, the
// analysis, the application and, with phases, each phase of it), the processor seconds and the
// peak resident memory; only the analysis's result when it fails. Returns the exit status: 0 when
// both results are ok and the analysis chose the actions the benchmark's plan expects.
int time_update(const std::string& container, const std::string& installation, const std::string& public_key,
                bool phases);

} // namespace orvo::bench
