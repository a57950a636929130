#include "tools/vcdiff_encoder/instruction_encoder.h"

#include "tools/vcdiff_encoder/varint.h"

namespace orvo::vcdiff {

void instruction_encoder_t::begin_window(u64 source_length, window_sections_t* sections) {
  sections_ = sections;
  sections_->data.clear();
  sections_->instructions.clear();
  sections_->addresses.clear();
  cache_.reset();
  here_ = source_length;
  has_pending_ = false;
}

void instruction_encoder_t::add(const u8* bytes, u32 size) {
  sections_->data.insert(sections_->data.end(), bytes, bytes + size);
  here_ += size;
  push(code_instruction_t{instruction_add, size, 0});
}

void instruction_encoder_t::run(u8 byte, u32 size) {
  sections_->data.push_back(byte);
  here_ += size;
  push(code_instruction_t{instruction_run, size, 0});
}

void instruction_encoder_t::copy(u64 address, u32 size) {
  const encoded_address_t encoded = cache_.encode(address, here_);
  if (encoded.single_byte)
    sections_->addresses.push_back(static_cast<u8>(encoded.value));
  else
    append_varint(sections_->addresses, encoded.value);
  here_ += size;
  push(code_instruction_t{instruction_copy, size, encoded.mode});
}

void instruction_encoder_t::end_window() {
  if (has_pending_) write_single(pending_);
  has_pending_ = false;
}

// Data and addresses are written as instructions arrive; only the code is held back, so that
// the order within every section stays the instruction order.
void instruction_encoder_t::push(const code_instruction_t& instruction) {
  if (has_pending_) {
    const int pair = table_.pair_code(pending_, instruction);
    if (pair >= 0) {
      sections_->instructions.push_back(static_cast<u8>(pair));
      has_pending_ = false;
      return;
    }
    write_single(pending_);
  }
  pending_ = instruction;
  has_pending_ = true;
}

void instruction_encoder_t::write_single(const code_instruction_t& instruction) {
  bool size_follows = false;
  sections_->instructions.push_back(table_.single_code(instruction, &size_follows));
  if (size_follows) append_varint(sections_->instructions, instruction.size);
}

} // namespace orvo::vcdiff
