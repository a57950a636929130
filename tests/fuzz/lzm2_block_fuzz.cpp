// libFuzzer target: arbitrary bytes decoded as the payload of an LZM2 block. The first byte
// places the payload behind up to 255 bytes of other container data.
#include "ovcore/ufs/fs_io_request.h"
#include "ovutils/ufs/mem_file.h"
#include "patch/decode_lzma_block.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using namespace orvo;

// Output that keeps nothing and refuses to grow past a bound, so that small streams which
// expand enormously end early.
class sink_file_t final : public file_t {
public:
  sink_file_t() : file_t("<sink>") {}
  bool uses_read_cache() const override { return false; }
  fs_io_request_t* io_read(void*, u32, u64) override { return nullptr; }
  fs_io_request_t* io_write(const void*, u32 size, u64 offset) override {
    return offset + size > limit ? nullptr : fs_complete_request();
  }
  bool is_done(fs_io_request_t*) override { return true; }
  bool wait(fs_io_request_t*) override { return true; }
  void release(fs_io_request_t*) override {}
  bool stat(file_info_t* info) override {
    if (info) info->size = position();
    return true;
  }

  static constexpr u64 limit = 16 * 1024 * 1024;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 0x7FFFFFFFu) return 0;
  const u32 lead = data[0];
  std::vector<u8> container(lead, 0xA5);
  container.insert(container.end(), data + 1, data + size);
  mem_file_t file(container.data(), static_cast<u32>(container.size()));
  sink_file_t output;
  patch::decode_lzma_block(output, file, lead, size - 1, nullptr, nullptr);
  return 0;
}
