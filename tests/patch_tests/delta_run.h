#pragma once
#include "common/log_capture.h"
#include "patch/decode_delta.h"
#include "patch/vcdiff_decoder.h"
#include "test_file.h"
#include "vcdiff_builder.h"

namespace orvo::patch::test {

using orvo::testing::log_capture_t;

struct delta_outcome_t {
  decode_delta_result_t result;
  bytes_t output;
};

// Decodes delta against source (none when null) through decode_delta.
inline delta_outcome_t run_delta(const bytes_t& delta, const bytes_t* source, u64 expected_size = 0,
                                 progress_callback_t* callback = nullptr) {
  test_file_t container("container.ktl", delta);
  test_file_t source_file("source.bin", source ? *source : bytes_t{});
  test_file_t output("output.bin");
  const decode_delta_result_t result = decode_delta(container, 0, delta.size(), source ? &source_file : nullptr,
                                                    output, nullptr, callback, expected_size);
  return {result, output.bytes()};
}

// Decodes delta with the decoder alone, all input at once, and returns its error code.
inline vcdiff_error_t decoder_error(const bytes_t& delta, const bytes_t* source) {
  vcdiff_decoder_t decoder;
  if (!decoder.setup()) return vcdiff_out_of_memory;
  if (source && !decoder.set_source(0x800000, source->size(), source->data(), static_cast<u32>(source->size())))
    return vcdiff_misuse;
  decoder.offer_input(delta.data(), static_cast<u32>(delta.size()), true);
  for (;;) {
    switch (decoder.decode()) {
    case vcdiff_event_input_needed: return vcdiff_ok;
    case vcdiff_event_error: return decoder.error();
    case vcdiff_event_output_ready: decoder.consume_output(); break;
    case vcdiff_event_block_needed: return vcdiff_misuse;
    default: break;
    }
  }
}

} // namespace orvo::patch::test
