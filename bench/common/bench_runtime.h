#pragma once

namespace orvo::bench {

// Runs a benchmark's body in the runtime the updater starts (processors detected, thread pool,
// file system), with messages going to stderr; stops it afterwards and returns the body's exit
// status.
int run_with_runtime(int argc, char** argv, int (*body)(int argc, char** argv));

} // namespace orvo::bench
