#include "patch/container_signature.h"

#include "ovcore/crypto/hash_stream.h"
#include "ovcore/crypto/rsa_verifier.h"

#include <cstring>

namespace orvo::patch {

container_open_result_t verify_container_signature(file_t& file, const u8 (&header)[container_header_size], u64 size,
                                                   const array_t<const rsa_public_key_t*>& keys,
                                                   progress_callback_t* callback, task_progress_t& progress) {
  const rsa_public_key_t* key = find_public_key(header + header_fingerprint_offset, keys);
  if (!key) return container_open_result_t::unknown_key;
  auto_ptr_t<rsa_verifier_t> verifier = create_rsa_verifier(*key);
  if (!verifier) return container_open_result_t::internal_error;
  auto_ptr_t<rsa_message_accumulator_t> accumulator = create_rsa_message_accumulator();
  if (!accumulator) return container_open_result_t::internal_error;

  u8 signed_header[container_header_size];
  std::memcpy(signed_header, header, sizeof signed_header);
  std::memset(signed_header + header_signature_offset, 0, header_signature_size);
  accumulator->update(signed_header, sizeof signed_header);

  progress.stage_id = stage_signature_verification;
  hash_sink_of_t<rsa_message_accumulator_t> sink(*accumulator);
  switch (stream_hash_range(file, sink, container_header_size, size - container_header_size, callback, &progress)) {
  case hash_stream_done:
    break;
  case hash_stream_aborted:
    return container_open_result_t::aborted;
  default:
    return container_open_result_t::io_error;
  }
  if (!crypto_verify(header + header_signature_offset, header_signature_size, *verifier, accumulator))
    return container_open_result_t::invalid_signature;
  return container_open_result_t::ok;
}

} // namespace orvo::patch
