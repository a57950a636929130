// libFuzzer target: arbitrary bytes decoded as a delta against a small source in memory.
#include "fuzz_source.h"
#include "sink_file.h"
#include "ovutils/ufs/mem_file.h"
#include "patch/decode_delta.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace orvo;

constexpr u64 output_limit = 1024 * 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<u8> source_bytes = patch::fuzz::fuzz_source();
  if (size > 0xFFFFFFFFu) return 0;
  mem_file_t container(data, static_cast<u32>(size));
  mem_file_t source(source_bytes.data(), static_cast<u32>(source_bytes.size()));
  fuzz::sink_file_t output(output_limit);
  patch::decode_delta(container, 0, size, &source, output, nullptr, nullptr, output_limit);
  return 0;
}
