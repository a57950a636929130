// libFuzzer target: arbitrary bytes decoded as the payload of an LZM2 block. The first byte
// places the payload behind up to 255 bytes of other container data.
#include "sink_file.h"
#include "ovutils/ufs/mem_file.h"
#include "patch/decode_lzma_block.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using namespace orvo;

constexpr u64 output_limit = 16 * 1024 * 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 0x7FFFFFFFu) return 0;
  const u32 lead = data[0];
  std::vector<u8> container(lead, 0xA5);
  container.insert(container.end(), data + 1, data + size);
  mem_file_t file(container.data(), static_cast<u32>(container.size()));
  fuzz::sink_file_t output(output_limit);
  patch::decode_lzma_block(output, file, lead, size - 1, nullptr, nullptr);
  return 0;
}
