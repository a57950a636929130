// Patch application end to end: an update of a 2 GiB installation of 500 files where one file in
// five is edited (XDLT deltas), one in fifty is new (LZM2) and the rest stay. run_apply.sh compares
// the time with hashing the installation and copying the new contents into place with system tools.
//
// usage: apply_bench generate FOLDER PRIVATE-KEY
//          writes FOLDER/installation (the pristine installation), FOLDER/targets (the edited and
//          new files' target versions), FOLDER/container.ktlp signed with the key, and
//          FOLDER/installed.txt and FOLDER/targets.txt (digest and path of each file before and
//          after the update)
//        apply_bench update FOLDER INSTALLATION PUBLIC-KEY.der [phases]
//          updates INSTALLATION, a copy of FOLDER/installation, with FOLDER/container.ktlp in
//          memory, the key the only key; prints the results, the seconds and the peak resident
//          memory, with "phases" also the seconds of each phase of the application
#include "bench_runtime.h"
#include "timed_update.h"
#include "update_generation.h"
#include "update_plan.h"

#include <cstdio>
#include <string>

using namespace orvo;

namespace {

int run(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4) return bench::generate_update(argv[2], argv[3]) ? 0 : 1;
  const bool phases = argc == 6 && std::string(argv[5]) == "phases";
  if (mode == "update" && (argc == 5 || phases))
    return bench::time_update(bench::update_container_path(argv[2]), argv[3], argv[4], phases);
  std::fprintf(stderr, "usage: see the top of apply_bench.cpp\n");
  return 2;
}

} // namespace

int main(int argc, char** argv) { return bench::run_with_runtime(argc, argv, run); }
