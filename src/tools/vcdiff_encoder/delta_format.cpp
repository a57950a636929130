#include "tools/vcdiff_encoder/delta_format.h"

#include "tools/vcdiff_encoder/varint.h"

namespace orvo::vcdiff {

void append_delta_header(std::vector<u8>* out, bool secondary_compression, u8 compressor_id) {
  const u8 magic[] = {0xD6, 0xC3, 0xC4, 0x00};
  out->insert(out->end(), magic, magic + sizeof(magic));
  out->push_back(secondary_compression ? header_secondary_compressor : 0);
  if (secondary_compression) out->push_back(compressor_id);
}

void append_window_header(std::vector<u8>* out, const window_header_t& header, const window_sections_t& stored) {
  u8 indicator = 0;
  if (header.has_source) indicator |= window_source;
  if (header.has_checksum) indicator |= window_checksum;
  out->push_back(indicator);
  if (header.has_source) {
    append_varint(*out, header.segment_length);
    append_varint(*out, header.segment_offset);
  }
  const u64 data_length = stored.data.size();
  const u64 instructions_length = stored.instructions.size();
  const u64 addresses_length = stored.addresses.size();
  const u64 encoding_length = varint_length(header.target_length) + 1 + varint_length(data_length) +
                              varint_length(instructions_length) + varint_length(addresses_length) +
                              (header.has_checksum ? 4 : 0) + data_length + instructions_length + addresses_length;
  append_varint(*out, encoding_length);
  append_varint(*out, header.target_length);
  out->push_back(header.delta_indicator);
  append_varint(*out, data_length);
  append_varint(*out, instructions_length);
  append_varint(*out, addresses_length);
  if (header.has_checksum)
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<u8>(header.checksum >> shift));
}

} // namespace orvo::vcdiff
