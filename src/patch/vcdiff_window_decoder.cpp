#include "patch/vcdiff_window_decoder.h"

#include "patch/adler32.h"

#include <cstring>

namespace orvo::patch {

namespace {

enum section_index_t : u32 { data_section, instruction_section, address_section };

// The checksum follows the decoded bytes in steps of this size.
constexpr u32 checksum_step = 0x8000;

} // namespace

bool vcdiff_window_decoder_t::configure(const vcdiff_code_table_t& table) {
  table_ = &table;
  return cache_.configure(table.near_size, table.same_size);
}

vcdiff_error_t vcdiff_window_decoder_t::begin(const vcdiff_copy_window_t& copy_window, const u8* encoding, u64 size,
                                              bool has_checksum) {
  error_ = vcdiff_ok;
  has_second_ = false;
  copy_left_ = 0;
  target_position_ = 0;
  target_length_ = 0;
  running_checksum_ = adler32_initial;
  checked_length_ = 0;
  copy_window_ = copy_window;
  has_checksum_ = has_checksum;

  vcdiff_reader_t reader(encoding, size);
  u64 target_length, lengths[3];
  u8 indicator;
  if (!reader.read_integer(target_length)) return error_ = vcdiff_encoding_length_mismatch;
  if (target_length > vcdiff_max_target_window) return error_ = vcdiff_window_too_large;
  if (copy_window.length > ~u64{0} - target_length) return error_ = vcdiff_bad_copy_window;
  if (!reader.read_byte(indicator)) return error_ = vcdiff_encoding_length_mismatch;
  if ((indicator & ~(vcd_datacomp | vcd_instcomp | vcd_addrcomp)) || (indicator && !secondary_))
    return error_ = vcdiff_bad_delta_indicator;
  for (u64& length : lengths)
    if (!reader.read_integer(length)) return error_ = vcdiff_encoding_length_mismatch;
  if (has_checksum) {
    const u8* bytes;
    if (!reader.take(4, bytes)) return error_ = vcdiff_encoding_length_mismatch;
    checksum_ = (u32{bytes[0]} << 24) | (u32{bytes[1]} << 16) | (u32{bytes[2]} << 8) | bytes[3];
  }

  u64 rest = reader.remaining();
  for (u64 length : lengths) {
    if (length > rest) return error_ = vcdiff_encoding_length_mismatch;
    rest -= length;
  }
  if (rest != 0) return error_ = vcdiff_encoding_length_mismatch;

  u32 budget = vcdiff_max_sections;
  vcdiff_reader_t* readers[3] = {&data_, &instructions_, &addresses_};
  for (u32 i = data_section; i <= address_section; ++i) {
    const u8* bytes = nullptr;
    reader.take(lengths[i], bytes);
    const vcdiff_error_t result =
        prepare_section(indicator & (1u << i), bytes, lengths[i], sections_[i], budget, *readers[i]);
    if (result != vcdiff_ok) return error_ = result;
  }

  // At least one byte, so that empty instructions of an empty window copy to a real buffer.
  if (!targets_[current_target_].reserve(target_length ? static_cast<u32>(target_length) : 1))
    return error_ = vcdiff_out_of_memory;
  target_length_ = static_cast<u32>(target_length);
  cache_.reset();
  return vcdiff_ok;
}

vcdiff_error_t vcdiff_window_decoder_t::prepare_section(u8 compressed, const u8* bytes, u64 size, byte_buffer_t& buffer,
                                                        u32& budget, vcdiff_reader_t& out) {
  if (!compressed) {
    if (size > budget) return vcdiff_sections_too_large;
    budget -= static_cast<u32>(size);
    out = vcdiff_reader_t(bytes, size);
    return vcdiff_ok;
  }
  u32 decoded_size = 0;
  const vcdiff_error_t result = secondary_->decode(bytes, size, budget, buffer, decoded_size);
  if (result != vcdiff_ok) return result;
  budget -= decoded_size;
  out = vcdiff_reader_t(buffer.data(), decoded_size);
  return vcdiff_ok;
}

vcdiff_window_decoder_t::run_result_t vcdiff_window_decoder_t::run(const vcdiff_source_t& source) {
  if (error_ != vcdiff_ok) return run_failed;
  if (copy_left_ > 0) {
    const run_result_t result = continue_source_copy(source);
    if (result != run_complete) return result;
  }
  for (;;) {
    vcdiff_error_t result;
    if (has_second_) {
      has_second_ = false;
      result = start(second_);
    } else {
      u8 index;
      if (!instructions_.read_byte(index)) return finish();
      const vcdiff_code_entry_t& entry = table_->entries[index];
      instruction_t first;
      result = read_instruction_size(entry.first, first);
      if (result == vcdiff_ok) result = read_instruction_size(entry.second, second_);
      if (result == vcdiff_ok) {
        has_second_ = second_.type != vcd_noop;
        if (first.type != vcd_noop) result = start(first);
      }
    }
    if (result != vcdiff_ok) return fail(result);
    if (copy_left_ > 0) {
      const run_result_t copied = continue_source_copy(source);
      if (copied != run_complete) return copied;
    }
    if (has_checksum_ && target_position_ - checked_length_ >= checksum_step) update_checksum();
  }
}

vcdiff_error_t vcdiff_window_decoder_t::read_instruction_size(const vcdiff_instruction_code_t& code,
                                                              instruction_t& out) {
  out.type = code.type;
  out.mode = code.mode;
  out.size = code.size;
  if (code.type == vcd_noop || code.size != 0) return vcdiff_ok;
  if (instructions_.read_integer(out.size)) return vcdiff_ok;
  return instructions_.empty() ? vcdiff_instructions_short : vcdiff_bad_integer;
}

vcdiff_error_t vcdiff_window_decoder_t::start(const instruction_t& instruction) {
  if (instruction.size > target_length_ - target_position_) return vcdiff_bad_instruction_size;
  const u32 size = static_cast<u32>(instruction.size);
  u8* out = target_data() + target_position_;
  switch (instruction.type) {
  case vcd_add: {
    const u8* bytes;
    if (!data_.take(size, bytes)) return vcdiff_data_short;
    std::memcpy(out, bytes, size);
    break;
  }
  case vcd_run: {
    u8 byte;
    if (!data_.read_byte(byte)) return vcdiff_data_short;
    std::memset(out, byte, size);
    break;
  }
  default: return start_copy(instruction);
  }
  target_position_ += size;
  return vcdiff_ok;
}

vcdiff_error_t vcdiff_window_decoder_t::start_copy(const instruction_t& instruction) {
  const u64 here = copy_window_.length + target_position_;
  u64 address;
  const vcdiff_error_t result = cache_.decode(instruction.mode, here, addresses_, address);
  if (result != vcdiff_ok) return result;
  if (address >= here) return vcdiff_bad_address;
  const u32 size = static_cast<u32>(instruction.size);
  if (address >= copy_window_.length) {
    copy_within_target(address - copy_window_.length, size);
    return vcdiff_ok;
  }
  if (size > copy_window_.length - address) return vcdiff_bad_address;
  if (copy_window_.kind != vcdiff_copy_window_t::source) return vcdiff_target_copy_not_implemented;
  copy_from_ = copy_window_.position + address;
  copy_left_ = size;
  return vcdiff_ok;
}

// Copies forward, so that a copy overlapping its own output repeats the bytes before it.
void vcdiff_window_decoder_t::copy_within_target(u64 from, u64 size) {
  u8* base = target_data();
  const u8* source = base + from;
  u8* out = base + target_position_;
  target_position_ += static_cast<u32>(size);
  while (size > 0) {
    const u64 available = static_cast<u64>(out - source);
    const u64 chunk = size < available ? size : available;
    std::memcpy(out, source, chunk);
    out += chunk;
    size -= chunk;
  }
}

vcdiff_window_decoder_t::run_result_t vcdiff_window_decoder_t::continue_source_copy(const vcdiff_source_t& source) {
  if (!source.registered || source.block_size == 0) return fail(vcdiff_no_source);
  while (copy_left_ > 0) {
    const u64 block = copy_from_ / source.block_size;
    const u32 offset = static_cast<u32>(copy_from_ % source.block_size);
    if (!source.has_block || source.block_number != block) {
      needed_block_ = block;
      return run_block_needed;
    }
    if (offset >= source.block_length) return fail(vcdiff_bad_source_block);
    const u32 available = source.block_length - offset;
    const u32 chunk = copy_left_ < available ? copy_left_ : available;
    std::memcpy(target_data() + target_position_, source.block + offset, chunk);
    target_position_ += chunk;
    copy_from_ += chunk;
    copy_left_ -= chunk;
  }
  return run_complete;
}

vcdiff_window_decoder_t::run_result_t vcdiff_window_decoder_t::finish() {
  if (target_position_ != target_length_) return fail(vcdiff_instructions_short);
  if (!data_.empty() || !addresses_.empty()) return fail(vcdiff_sections_left_over);
  if (has_checksum_) {
    update_checksum();
    if (running_checksum_ != checksum_) return fail(vcdiff_checksum_mismatch);
  }
  return run_complete;
}

void vcdiff_window_decoder_t::update_checksum() {
  running_checksum_ =
      adler32_update(running_checksum_, target_data() + checked_length_, target_position_ - checked_length_);
  checked_length_ = target_position_;
}

vcdiff_window_decoder_t::run_result_t vcdiff_window_decoder_t::fail(vcdiff_error_t error) {
  error_ = error;
  return run_failed;
}

} // namespace orvo::patch
