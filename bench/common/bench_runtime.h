#pragma once

namespace orvo::bench {

// Runs a benchmark's body with the message dispatcher (messages go to stderr) and the file
// system started, stops them afterwards and returns the body's exit status.
int run_with_runtime(int argc, char** argv, int (*body)(int argc, char** argv));

} // namespace orvo::bench
