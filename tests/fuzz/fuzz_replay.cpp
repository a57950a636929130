// Runs each fuzz target's entry point over the inputs kept in FOLDER/<target>/, without libFuzzer,
// under the tree's own compiler and sanitizers. An input that still fails ends the process as it
// ended the fuzzer; the name of the input is printed before it runs.
#include "ovcore/types.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#define ORVO_FUZZ_TARGET(name) extern "C" int fuzz_##name(const orvo::u8* data, size_t size);
#include "fuzz_targets.inc"
#undef ORVO_FUZZ_TARGET

namespace {

using namespace orvo;

struct fuzz_target_t {
  const char* name;
  int (*run)(const u8* data, size_t size);
};

constexpr fuzz_target_t fuzz_targets[] = {
#define ORVO_FUZZ_TARGET(name) {#name, fuzz_##name},
#include "fuzz_targets.inc"
#undef ORVO_FUZZ_TARGET
};

// Replays the folder's files in name order; the count replayed.
u64 replay(const fuzz_target_t& target, const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return 0;
  std::vector<std::filesystem::path> inputs;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) inputs.push_back(entry.path());
  std::sort(inputs.begin(), inputs.end());
  for (const std::filesystem::path& input : inputs) {
    std::printf("%s %s\n", target.name, input.filename().c_str());
    std::fflush(stdout);
    std::ifstream stream(input, std::ios::binary);
    const std::vector<u8> bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    const u8 none = 0;
    target.run(bytes.empty() ? &none : bytes.data(), bytes.size());
  }
  return inputs.size();
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <regressions folder>\n", argv[0]);
    return 2;
  }
  u64 total = 0;
  for (const fuzz_target_t& target : fuzz_targets) total += replay(target, std::filesystem::path(argv[1]) / target.name);
  std::printf("%" PRIu64 " inputs replayed\n", total);
  if (total == 0) {
    std::fprintf(stderr, "no inputs under %s\n", argv[1]);
    return 1;
  }
  return 0;
}
