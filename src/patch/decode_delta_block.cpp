#include "patch/decode_delta_block.h"

#include "ovcore/messages/messages.h"
#include "patch/decode_delta.h"

namespace orvo::patch {

extract_diff_result_t decode_delta_block(file_t& output, file_t* source, file_t& container, u64 payload_offset,
                                         u64 payload_size, u64 output_size, const aes_key_t* key,
                                         progress_callback_t* progress) {
  const decode_delta_result_t result =
      decode_delta(container, payload_offset, payload_size, source, output, key, progress, output_size);
  switch (result) {
  case decode_delta_ok: return extract_diff_result_t::ok;
  case decode_delta_internal_error: return extract_diff_result_t::internal_error;
  case decode_delta_aborted: return extract_diff_result_t::aborted;
  case decode_delta_container_read_error: return extract_diff_result_t::container_read_error;
  case decode_delta_source_read_error: return extract_diff_result_t::data_read_error;
  case decode_delta_write_error: return extract_diff_result_t::write_error;
  case decode_delta_corrupted: return extract_diff_result_t::corrupted;
  }
  log_error("[ERR] Unknown result code %u", static_cast<u32>(result));
  return extract_diff_result_t::internal_error;
}

} // namespace orvo::patch
