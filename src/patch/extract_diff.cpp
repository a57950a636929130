#include "ovcore/crypto/key_derivation_constants.h"
#include "ovcore/messages/messages.h"
#include "patch/block_header.h"
#include "patch/container_reader.h"
#include "patch/copy_block.h"
#include "patch/decode_delta_block.h"
#include "patch/decode_lzma_block.h"
#include "patch/progress_relay.h"

namespace orvo::patch {

namespace {

using result_t = extract_diff_result_t;

// A keyed diff's data is its key id followed by encrypted content, which has no block header
// that could be read: after the key checks it is refused.
result_t check_keyed_diff(const diff_info_t& diff, const aes_key_t* key) {
  if (!key) return result_t::no_key;
  content_hash_t key_id;
  if (!derive_key_id(key_id.bytes, *key, key_id_label)) {
    log_error("[ERR] Unable to calculate key id");
    return result_t::internal_error;
  }
  if (!(key_id == diff.key_id)) return result_t::wrong_key;
  log_error("[ERR] Encryption is currently not supported");
  return result_t::internal_error;
}

bool read_block_header(file_t& container, u64 offset, block_header_t& header) {
  u8 bytes[block_header_size];
  fs_io_request_t* request = container.io_read(bytes, block_header_size, offset);
  if (!request || !container.wait(request)) {
    log_error("[ERR] Error while reading from '%s'", container.name().c_str());
    return false;
  }
  header = parse_block_header(bytes);
  return true;
}

struct block_t {
  block_header_t header;
  u64 payload_offset;
  u64 payload_size;
};

result_t decode_block(file_t& output, file_t* source, file_t& container, const block_t& block, const aes_key_t* key,
                      progress_callback_t* progress) {
  if (block.header.has_method("COPY")) {
    if (block.header.output_size != block.payload_size) {
      log_error("[ERR] The header specifies different a size %I64u than the block content %I64u",
                block.header.output_size, block.payload_size);
      return result_t::corrupted;
    }
    return copy_block(output, container, block.payload_offset, block.payload_size, progress);
  }
  if (block.header.has_method("LZM2"))
    return decode_lzma_block(output, container, block.payload_offset, block.payload_size, key, progress);
  if (block.header.has_method("XDLT"))
    return decode_delta_block(output, source, container, block.payload_offset, block.payload_size,
                              block.header.output_size, key, progress);
  return result_t::unsupported_method;
}

result_t check_output_size(file_t& output, u64 expected) {
  const u64 actual = output.get_size();
  if (actual == expected) return result_t::ok;
  log_error("[ERR] The header specifies a different file size %I64u than was created by the patch %I64u", expected,
            actual);
  return result_t::size_mismatch;
}

} // namespace

diff_size_result_t container_reader_t::get_diff_output_size(u64& out, const content_hash_t& diff_id,
                                                            const aes_key_t* key) const {
  out = ~u64(0);
  const diff_info_t* diff = find_diff(diff_id);
  if (!diff || diff->data_offset == diff_offset_none) return diff_size_result_t::not_found;
  if (diff->keyed) {
    if (!key) return diff_size_result_t::no_key;
    content_hash_t key_id;
    if (!derive_key_id(key_id.bytes, *key, key_id_label)) {
      log_error("[ERR] Unable to calculate key id");
      return diff_size_result_t::key_id_error;
    }
    if (!(key_id == diff->key_id)) return diff_size_result_t::wrong_key;
    // Keyed data is the key id and encrypted content: no readable block header tells the size.
    return diff_size_result_t::ok;
  }
  block_header_t header;
  if (!read_block_header(*file_, diff->data_offset, header)) return diff_size_result_t::read_error;
  out = header.output_size;
  return diff_size_result_t::ok;
}

extract_diff_result_t container_reader_t::extract_diff(auto_ptr_t<file_t>& output, file_t* source,
                                                       const content_hash_t& diff_id, const aes_key_t* key,
                                                       progress_callback_t* callback) const {
  ORVO_CHECK(output, "extraction needs an output file");
  const diff_info_t* diff = find_diff(diff_id);
  if (!diff || diff->data_offset == diff_offset_none) return result_t::not_found;
  if (diff->keyed) return check_keyed_diff(*diff, key);

  block_t block;
  if (!read_block_header(*file_, diff->data_offset, block.header)) return result_t::container_read_error;
  block.payload_offset = diff->data_offset + block_header_size;
  block.payload_size = diff->data_size - block_header_size;

  progress_relay_t relay(callback);
  relay.set_stage(stage_extraction);
  const result_t result = decode_block(*output, source, *file_, block, key, &relay);
  if (result != result_t::ok) return result;
  return check_output_size(*output, block.header.output_size);
}

} // namespace orvo::patch
