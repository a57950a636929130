#pragma once
#include "patch/byte_buffer.h"
#include "patch/vcdiff_code_table.h"
#include "patch/vcdiff_integer.h"
#include "patch/vcdiff_secondary.h"
#include "patch/vcdiff_window_decoder.h"

namespace orvo::patch {

enum vcdiff_event_t : u32 {
  vcdiff_event_input_needed,
  vcdiff_event_output_ready,
  vcdiff_event_block_needed,
  vcdiff_event_header_decoded,
  vcdiff_event_window_started,
  vcdiff_event_window_finished,
  vcdiff_event_error,
};

// Streaming VCDIFF decoder: input arrives in chunks, source data in blocks on request, and each
// target window is handed out whole once it is complete.
class vcdiff_decoder_t {
public:
  vcdiff_decoder_t() = default;
  vcdiff_decoder_t(const vcdiff_decoder_t&) = delete;
  vcdiff_decoder_t& operator=(const vcdiff_decoder_t&) = delete;

  bool setup();
  // Registers the source with its block 0; once per stream.
  bool set_source(u32 block_size, u64 total_size, const u8* first_block, u32 first_length);
  // Offered bytes must stay in place until the decoder asks for input again. After the last
  // chunk, windows that cannot complete are not buffered.
  void offer_input(const u8* data, u32 size, bool last);

  vcdiff_event_t decode();

  // The target window of an output-ready event. Its bytes stay valid until the output of the
  // next window has been consumed, so they may be written out while that window decodes.
  const u8* output() const { return window_.target(); }
  u32 output_length() const { return window_.target_length(); }
  void consume_output();

  // The block of a block-needed event; the supplied bytes stay valid until the next supply.
  u64 needed_block() const { return window_.needed_block(); }
  bool supply_block(u64 number, const u8* data, u32 length);

  vcdiff_error_t error() const { return error_; }
  u64 target_produced() const { return target_produced_; }
  // Terminal state: buffers are freed and every later decode fails. True when the stream ended
  // between windows.
  bool close();

private:
  enum state_t {
    state_magic,
    state_version,
    state_header_indicator,
    state_secondary_id,
    state_code_table_length,
    state_code_table_data,
    state_app_header_length,
    state_app_header_data,
    state_header_done,
    state_window_indicator,
    state_segment_length,
    state_segment_position,
    state_encoding_length,
    state_window_body,
    state_window_run,
    state_output,
    state_window_finished,
    state_failed,
    state_closed,
  };
  enum read_result_t { read_more, read_done, read_invalid };

  bool next_byte(u8& byte);
  read_result_t next_integer(u64& value);
  vcdiff_event_t step_header();
  vcdiff_event_t step_window();
  state_t after_indicator_state(u8 passed_bit) const;
  bool fill(byte_buffer_t& buffer, u64 size);
  vcdiff_error_t decode_code_table();
  vcdiff_error_t check_copy_window() const;
  vcdiff_event_t begin_window();
  vcdiff_event_t run_window();
  vcdiff_event_t fail(vcdiff_error_t error);

  state_t state_ = state_closed;
  vcdiff_error_t error_ = vcdiff_ok;
  const u8* input_ = nullptr;
  u32 input_size_ = 0;
  u32 input_position_ = 0;
  bool input_last_ = false;
  vcdiff_integer_builder_t integer_;
  u32 magic_seen_ = 0;
  u8 header_indicator_ = 0;
  u64 item_length_ = 0;
  u64 item_filled_ = 0;
  byte_buffer_t code_table_data_;
  byte_buffer_t window_body_;
  const u8* window_encoding_ = nullptr;
  bool window_checksum_ = false;
  vcdiff_copy_window_t copy_window_;
  u64 target_produced_ = 0;

  vcdiff_code_table_t custom_table_;
  vcdiff_secondary_t secondary_;
  vcdiff_window_decoder_t window_;
  vcdiff_source_t source_;
};

} // namespace orvo::patch
