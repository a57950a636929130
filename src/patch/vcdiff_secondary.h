#pragma once
#include "patch/byte_buffer.h"
#include "patch/vcdiff_format.h"

#include <lzma.h>

namespace orvo::patch {

// Decompresses the secondary-compressed sections of a window.
class vcdiff_secondary_t {
public:
  vcdiff_secondary_t() = default;
  vcdiff_secondary_t(const vcdiff_secondary_t&) = delete;
  vcdiff_secondary_t& operator=(const vcdiff_secondary_t&) = delete;
  ~vcdiff_secondary_t();

  void set_compressor(u8 id) { compressor_ = id; }
  // A section is its decompressed size as an integer, then the compressor's bytes, which must
  // produce exactly that many bytes and be used up by them. The size may not exceed max_size.
  vcdiff_error_t decode(const u8* section, u64 section_size, u32 max_size, byte_buffer_t& out, u32& out_size);

private:
  vcdiff_error_t decode_lzma(const u8* input, u64 input_size, u8* output, u32 output_size);
  bool drain_lzma();

  u8 compressor_ = 0;
  lzma_stream stream_ = LZMA_STREAM_INIT;
};

} // namespace orvo::patch
