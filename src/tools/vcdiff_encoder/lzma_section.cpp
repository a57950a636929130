#include "tools/vcdiff_encoder/lzma_section.h"

#include "ovcore/messages/messages.h"
#include "tools/vcdiff_encoder/varint.h"

#include <lzma.h>

namespace orvo::vcdiff {

namespace {

// Smallest dictionary that holds the whole section, within the preset's dictionary.
u32 dictionary_size_for(size_t length, u32 preset_size) {
  u64 size = LZMA_DICT_SIZE_MIN;
  while (size < length && size < preset_size) size <<= 1;
  return static_cast<u32>(size < preset_size ? size : preset_size);
}

// Runs the flush into framed's free space; not_smaller as soon as that space is used up.
section_compression_t flush_into(lzma_stream& stream, std::vector<u8>* framed, size_t header_length, size_t limit) {
  framed->resize(limit);
  stream.next_out = framed->data() + header_length;
  stream.avail_out = limit - header_length;
  for (;;) {
    const lzma_ret ret = lzma_code(&stream, LZMA_SYNC_FLUSH);
    if (ret == LZMA_STREAM_END) {
      framed->resize(limit - stream.avail_out);
      return section_compression_t::smaller;
    }
    if (ret != LZMA_OK) {
      log_error("[ERR] LZMA section compression failed with code %d", static_cast<int>(ret));
      return section_compression_t::failed;
    }
    if (stream.avail_out == 0) return section_compression_t::not_smaller;
  }
}

} // namespace

section_compression_t compress_section_lzma(const std::vector<u8>& plain, u32 preset, std::vector<u8>* framed) {
  framed->clear();
  append_varint(*framed, plain.size());
  const size_t header_length = framed->size();
  // The framed section must stay at least one byte shorter than the plain one.
  if (plain.size() <= header_length + 1) return section_compression_t::not_smaller;

  lzma_options_lzma options;
  if (lzma_lzma_preset(&options, preset)) {
    log_error("[ERR] Unsupported LZMA preset %u", preset);
    return section_compression_t::failed;
  }
  options.dict_size = dictionary_size_for(plain.size(), options.dict_size);
  const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  lzma_stream stream = LZMA_STREAM_INIT;
  const lzma_ret ret = lzma_stream_encoder(&stream, filters, LZMA_CHECK_NONE);
  if (ret != LZMA_OK) {
    log_error("[ERR] Unable to set up the LZMA section compressor: code %d", static_cast<int>(ret));
    return section_compression_t::failed;
  }
  stream.next_in = plain.data();
  stream.avail_in = plain.size();
  const section_compression_t result = flush_into(stream, framed, header_length, plain.size() - 1);
  lzma_end(&stream);
  return result;
}

} // namespace orvo::vcdiff
