#include "patch/vcdiff_secondary.h"

#include "patch/vcdiff_integer.h"

namespace orvo::patch {

vcdiff_secondary_t::~vcdiff_secondary_t() { lzma_end(&stream_); }

vcdiff_error_t vcdiff_secondary_t::decode(const u8* section, u64 section_size, u32 max_size, byte_buffer_t& out,
                                          u32& out_size) {
  vcdiff_reader_t reader(section, section_size);
  u64 size;
  if (!reader.read_integer(size)) return vcdiff_secondary_failed;
  if (size > max_size) return vcdiff_sections_too_large;
  if (compressor_ != vcd_secondary_lzma) return vcdiff_secondary_not_supported;
  out_size = static_cast<u32>(size);
  if (!out.reserve(out_size)) return vcdiff_out_of_memory;
  return decode_lzma(reader.position(), reader.remaining(), out.data(), out_size);
}

// The input is an .xz stream header and one LZMA2 block without integrity check, flushed but not
// terminated; every section starts a stream of its own.
vcdiff_error_t vcdiff_secondary_t::decode_lzma(const u8* input, u64 input_size, u8* output, u32 output_size) {
  if (lzma_stream_decoder(&stream_, UINT64_MAX, LZMA_TELL_NO_CHECK) != LZMA_OK) return vcdiff_out_of_memory;
  stream_.next_in = input;
  stream_.avail_in = static_cast<size_t>(input_size);
  stream_.next_out = output;
  stream_.avail_out = output_size;
  while (stream_.avail_out > 0) {
    const lzma_ret result = lzma_code(&stream_, LZMA_RUN);
    if (result != LZMA_OK && result != LZMA_NO_CHECK) return vcdiff_secondary_failed;
    if (stream_.avail_in == 0 && stream_.avail_out > 0) return vcdiff_secondary_failed;
  }
  return drain_lzma() ? vcdiff_ok : vcdiff_secondary_failed;
}

// Once the output is full the decoder may still hold input or decoded bytes: let it go on into a
// spare byte, and fail when anything more comes out or input is left.
bool vcdiff_secondary_t::drain_lzma() {
  u8 spare;
  do {
    stream_.next_out = &spare;
    stream_.avail_out = 1;
    const lzma_ret result = lzma_code(&stream_, LZMA_RUN);
    if (result != LZMA_OK || stream_.avail_out == 0) return false;
  } while (stream_.avail_in > 0);
  return true;
}

} // namespace orvo::patch
