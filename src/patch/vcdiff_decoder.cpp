#include "patch/vcdiff_decoder.h"

#include <cstring>

namespace orvo::patch {

namespace {

constexpr vcdiff_event_t no_event = static_cast<vcdiff_event_t>(~0u);
constexpr u8 header_indicator_bits = vcd_decompress | vcd_codetable | vcd_appheader;
constexpr u8 window_indicator_bits = vcd_source | vcd_target | vcd_adler32;

bool known_secondary(u8 id) {
  return id == vcd_secondary_static_huffman || id == vcd_secondary_lzma || id == vcd_secondary_fgk_huffman;
}

} // namespace

bool vcdiff_decoder_t::setup() {
  state_ = state_magic;
  return window_.configure(vcdiff_default_code_table());
}

bool vcdiff_decoder_t::set_source(u32 block_size, u64 total_size, const u8* first_block, u32 first_length) {
  if (state_ == state_failed || state_ == state_closed || source_.registered) return false;
  if (block_size == 0 || first_length > block_size || (!first_block && first_length)) return false;
  source_ = {true, block_size, total_size, true, 0, first_block, first_length};
  return true;
}

void vcdiff_decoder_t::offer_input(const u8* data, u32 size, bool last) {
  if (state_ == state_failed || state_ == state_closed) return;
  if (input_last_ || input_position_ < input_size_ || (!data && size)) {
    fail(vcdiff_misuse);
    return;
  }
  input_ = data;
  input_size_ = size;
  input_position_ = 0;
  input_last_ = last;
}

vcdiff_event_t vcdiff_decoder_t::decode() {
  for (;;) {
    const vcdiff_event_t event = state_ <= state_header_done ? step_header() : step_window();
    if (event != no_event) return event;
  }
}

void vcdiff_decoder_t::consume_output() {
  if (state_ != state_output) return;
  state_ = state_window_finished;
  window_.switch_target();
}

bool vcdiff_decoder_t::supply_block(u64 number, const u8* data, u32 length) {
  if (state_ != state_window_run || number != window_.needed_block() || length > source_.block_size ||
      (!data && length)) {
    fail(vcdiff_misuse);
    return false;
  }
  source_.has_block = true;
  source_.block_number = number;
  source_.block = data;
  source_.block_length = length;
  return true;
}

bool vcdiff_decoder_t::close() {
  const bool between_windows = state_ == state_window_indicator && input_position_ == input_size_;
  state_ = state_closed;
  window_body_.free();
  code_table_data_.free();
  return between_windows;
}

bool vcdiff_decoder_t::next_byte(u8& byte) {
  if (input_position_ == input_size_) return false;
  byte = input_[input_position_++];
  return true;
}

vcdiff_decoder_t::read_result_t vcdiff_decoder_t::next_integer(u64& value) {
  u8 byte;
  while (next_byte(byte)) {
    switch (integer_.add(byte)) {
    case vcdiff_integer_builder_t::more: continue;
    case vcdiff_integer_builder_t::complete:
      value = integer_.value();
      integer_.reset();
      return read_done;
    case vcdiff_integer_builder_t::invalid: return read_invalid;
    }
  }
  return read_more;
}

// Copies input into buffer until it holds size bytes; true once it does.
bool vcdiff_decoder_t::fill(byte_buffer_t& buffer, u64 size) {
  const u64 wanted = size - item_filled_;
  const u64 available = input_size_ - input_position_;
  const u32 count = static_cast<u32>(wanted < available ? wanted : available);
  std::memcpy(buffer.data() + item_filled_, input_ + input_position_, count);
  input_position_ += count;
  item_filled_ += count;
  return item_filled_ == size;
}

vcdiff_decoder_t::state_t vcdiff_decoder_t::after_indicator_state(u8 passed_bit) const {
  if (passed_bit < vcd_decompress && (header_indicator_ & vcd_decompress)) return state_secondary_id;
  if (passed_bit < vcd_codetable && (header_indicator_ & vcd_codetable)) return state_code_table_length;
  if (passed_bit < vcd_appheader && (header_indicator_ & vcd_appheader)) return state_app_header_length;
  return state_header_done;
}

vcdiff_event_t vcdiff_decoder_t::step_header() {
  u8 byte;
  u64 value;
  switch (state_) {
  case state_magic:
    if (!next_byte(byte)) return vcdiff_event_input_needed;
    if (byte != vcdiff_magic[magic_seen_]) return fail(vcdiff_bad_magic);
    if (++magic_seen_ == sizeof(vcdiff_magic)) state_ = state_version;
    return no_event;
  case state_version:
    if (!next_byte(byte)) return vcdiff_event_input_needed;
    if (byte != vcdiff_version) return fail(vcdiff_bad_version);
    state_ = state_header_indicator;
    return no_event;
  case state_header_indicator:
    if (!next_byte(byte)) return vcdiff_event_input_needed;
    if (byte & ~header_indicator_bits) return fail(vcdiff_bad_header_indicator);
    header_indicator_ = byte;
    state_ = after_indicator_state(0);
    return no_event;
  case state_secondary_id:
    if (!next_byte(byte)) return vcdiff_event_input_needed;
    if (!known_secondary(byte)) return fail(vcdiff_unknown_secondary);
    secondary_.set_compressor(byte);
    window_.set_secondary(&secondary_);
    state_ = after_indicator_state(vcd_decompress);
    return no_event;
  case state_code_table_length:
    switch (next_integer(value)) {
    case read_more: return vcdiff_event_input_needed;
    case read_invalid: return fail(vcdiff_bad_integer);
    case read_done: break;
    }
    if (value <= 2 || value > vcdiff_max_code_table_data) return fail(vcdiff_bad_code_table);
    if (!code_table_data_.reserve(static_cast<u32>(value))) return fail(vcdiff_out_of_memory);
    item_length_ = value;
    item_filled_ = 0;
    state_ = state_code_table_data;
    return no_event;
  case state_code_table_data: {
    if (!fill(code_table_data_, item_length_)) return vcdiff_event_input_needed;
    const vcdiff_error_t error = decode_code_table();
    if (error != vcdiff_ok) return fail(error);
    state_ = after_indicator_state(vcd_codetable);
    return no_event;
  }
  case state_app_header_length:
    switch (next_integer(value)) {
    case read_more: return vcdiff_event_input_needed;
    case read_invalid: return fail(vcdiff_bad_integer);
    case read_done: break;
    }
    item_length_ = value;
    item_filled_ = 0;
    state_ = state_app_header_data;
    return no_event;
  case state_app_header_data: {
    const u64 available = input_size_ - input_position_;
    const u64 skipped = item_length_ - item_filled_ < available ? item_length_ - item_filled_ : available;
    input_position_ += static_cast<u32>(skipped);
    item_filled_ += skipped;
    if (item_filled_ < item_length_) return vcdiff_event_input_needed;
    state_ = after_indicator_state(vcd_appheader);
    return no_event;
  }
  case state_header_done:
    state_ = state_window_indicator;
    return vcdiff_event_header_decoded;
  default: return fail(vcdiff_misuse);
  }
}

vcdiff_event_t vcdiff_decoder_t::step_window() {
  u8 byte;
  u64 value = 0;
  switch (state_) {
  case state_window_indicator:
    if (!next_byte(byte)) return vcdiff_event_input_needed;
    if (byte & ~window_indicator_bits) return fail(vcdiff_bad_window_indicator);
    window_checksum_ = byte & vcd_adler32;
    copy_window_ = {};
    if ((byte & (vcd_source | vcd_target)) == vcd_source) copy_window_.kind = vcdiff_copy_window_t::source;
    if ((byte & (vcd_source | vcd_target)) == vcd_target) copy_window_.kind = vcdiff_copy_window_t::target;
    state_ = copy_window_.kind == vcdiff_copy_window_t::none ? state_encoding_length : state_segment_length;
    return no_event;
  case state_segment_length:
  case state_segment_position:
  case state_encoding_length:
    switch (next_integer(value)) {
    case read_more: return vcdiff_event_input_needed;
    case read_invalid: return fail(vcdiff_bad_integer);
    case read_done: break;
    }
    if (state_ == state_segment_length) {
      copy_window_.length = value;
      state_ = state_segment_position;
      return no_event;
    }
    if (state_ == state_segment_position) {
      copy_window_.position = value;
      const vcdiff_error_t error = check_copy_window();
      if (error != vcdiff_ok) return fail(error);
      state_ = state_encoding_length;
      return no_event;
    }
    if (value > vcdiff_max_window_encoding) return fail(vcdiff_sections_too_large);
    item_length_ = value;
    item_filled_ = 0;
    state_ = state_window_body;
    return vcdiff_event_window_started;
  case state_window_body: {
    const u64 available = input_size_ - input_position_;
    if (item_filled_ == 0 && available >= item_length_) {
      window_encoding_ = input_ + input_position_;
      input_position_ += static_cast<u32>(item_length_);
      return begin_window();
    }
    if (input_last_ && item_length_ - item_filled_ > available) {
      input_position_ = input_size_;
      return vcdiff_event_input_needed;
    }
    if (item_filled_ == 0 && !window_body_.reserve(static_cast<u32>(item_length_)))
      return fail(vcdiff_out_of_memory);
    if (!fill(window_body_, item_length_)) return vcdiff_event_input_needed;
    window_encoding_ = window_body_.data();
    return begin_window();
  }
  case state_window_run: return run_window();
  case state_output: return vcdiff_event_output_ready;
  case state_window_finished:
    state_ = state_window_indicator;
    return vcdiff_event_window_finished;
  case state_failed: return vcdiff_event_error;
  default: return fail(vcdiff_misuse);
  }
}

vcdiff_error_t vcdiff_decoder_t::check_copy_window() const {
  const u64 length = copy_window_.length;
  const u64 position = copy_window_.position;
  if (copy_window_.kind == vcdiff_copy_window_t::source) {
    if (!source_.registered) return vcdiff_no_source;
    if (length > source_.total_size || position > source_.total_size - length) return vcdiff_source_past_end;
    return vcdiff_ok;
  }
  if (length > target_produced_ || position > target_produced_ - length) return vcdiff_bad_copy_window;
  return vcdiff_ok;
}

vcdiff_event_t vcdiff_decoder_t::begin_window() {
  const vcdiff_error_t error = window_.begin(copy_window_, window_encoding_, item_length_, window_checksum_);
  if (error != vcdiff_ok) return fail(error);
  state_ = state_window_run;
  return no_event;
}

vcdiff_event_t vcdiff_decoder_t::run_window() {
  switch (window_.run(source_)) {
  case vcdiff_window_decoder_t::run_block_needed: return vcdiff_event_block_needed;
  case vcdiff_window_decoder_t::run_failed: return fail(window_.error());
  case vcdiff_window_decoder_t::run_complete: break;
  }
  target_produced_ += window_.target_length();
  if (window_.target_length() == 0) {
    state_ = state_window_finished;
    return no_event;
  }
  state_ = state_output;
  return vcdiff_event_output_ready;
}

// The table is a delta against the default table's string, decoded with the default table.
vcdiff_error_t vcdiff_decoder_t::decode_code_table() {
  const u8* data = code_table_data_.data();
  const u8 near_size = data[0];
  const u8 same_size = data[1];
  vcdiff_reader_t reader(data + 2, item_length_ - 2);
  u64 encoding_length;
  if (!reader.read_integer(encoding_length) || encoding_length != reader.remaining()) return vcdiff_bad_code_table;

  u8 default_string[vcdiff_code_table_t::string_size];
  vcdiff_code_table_to_string(vcdiff_default_code_table(), default_string);
  vcdiff_source_t source = {true, vcdiff_code_table_t::string_size, vcdiff_code_table_t::string_size, true, 0,
                            default_string, vcdiff_code_table_t::string_size};
  const vcdiff_copy_window_t copy_window = {vcdiff_copy_window_t::source, 0, vcdiff_code_table_t::string_size};

  vcdiff_window_decoder_t table_decoder;
  if (!table_decoder.configure(vcdiff_default_code_table())) return vcdiff_out_of_memory;
  if (header_indicator_ & vcd_decompress) table_decoder.set_secondary(&secondary_);
  if (table_decoder.begin(copy_window, reader.position(), encoding_length, false) != vcdiff_ok ||
      table_decoder.run(source) != vcdiff_window_decoder_t::run_complete ||
      table_decoder.target_length() != vcdiff_code_table_t::string_size ||
      !vcdiff_code_table_from_string(custom_table_, near_size, same_size, table_decoder.target()))
    return vcdiff_bad_code_table;
  return window_.configure(custom_table_) ? vcdiff_ok : vcdiff_out_of_memory;
}

vcdiff_event_t vcdiff_decoder_t::fail(vcdiff_error_t error) {
  if (state_ != state_failed) error_ = error;
  state_ = state_failed;
  return vcdiff_event_error;
}

} // namespace orvo::patch
