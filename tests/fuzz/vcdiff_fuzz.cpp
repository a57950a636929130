// libFuzzer target: arbitrary bytes decoded as a delta against a small source in memory.
#include "fuzz_source.h"
#include "ovcore/ufs/fs_io_request.h"
#include "ovutils/ufs/mem_file.h"
#include "patch/decode_delta.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace orvo;

// Output that keeps nothing and refuses to grow past a bound, so that small deltas which expand
// enormously end early.
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

  static constexpr u64 limit = 1024 * 1024;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<u8> source_bytes = patch::fuzz::fuzz_source();
  if (size > 0xFFFFFFFFu) return 0;
  mem_file_t container(data, static_cast<u32>(size));
  mem_file_t source(source_bytes.data(), static_cast<u32>(source_bytes.size()));
  sink_file_t output;
  patch::decode_delta(container, 0, size, &source, output, nullptr, nullptr, sink_file_t::limit);
  return 0;
}
