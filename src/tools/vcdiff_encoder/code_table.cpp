#include "tools/vcdiff_encoder/code_table.h"

#include "ovcore/messages/messages.h"

namespace orvo::vcdiff {

namespace {

u64 pair_key(u8 type1, u32 size1, u8 mode1, u8 type2, u32 size2, u8 mode2) {
  return (static_cast<u64>(type1) << 40) | (static_cast<u64>(size1 & 0xFF) << 32) | (static_cast<u64>(mode1) << 24) |
         (static_cast<u64>(type2) << 16) | (static_cast<u64>(size2 & 0xFF) << 8) | mode2;
}

} // namespace

const code_table_t& code_table_t::default_table() {
  static const code_table_t table;
  return table;
}

code_table_t::code_table_t() {
  build_default_entries();
  build_lookups();
}

void code_table_t::build_default_entries() {
  u32 index = 0;
  auto put = [&](u8 type1, u8 size1, u8 mode1, u8 type2, u8 size2, u8 mode2) {
    entries_[index++] = code_entry_t{type1, size1, mode1, type2, size2, mode2};
  };
  put(instruction_run, 0, 0, instruction_noop, 0, 0);
  for (u8 size = 0; size <= 17; ++size) put(instruction_add, size, 0, instruction_noop, 0, 0);
  for (u8 mode = 0; mode < address_mode_count; ++mode) {
    put(instruction_copy, 0, mode, instruction_noop, 0, 0);
    for (u8 size = 4; size <= 18; ++size) put(instruction_copy, size, mode, instruction_noop, 0, 0);
  }
  for (u8 mode = 0; mode <= 5; ++mode)
    for (u8 add_size = 1; add_size <= 4; ++add_size)
      for (u8 copy_size = 4; copy_size <= 6; ++copy_size)
        put(instruction_add, add_size, 0, instruction_copy, copy_size, mode);
  for (u8 mode = 6; mode <= 8; ++mode)
    for (u8 add_size = 1; add_size <= 4; ++add_size) put(instruction_add, add_size, 0, instruction_copy, 4, mode);
  for (u8 mode = 0; mode <= 8; ++mode) put(instruction_copy, 4, mode, instruction_add, 1, 0);
}

void code_table_t::build_lookups() {
  for (u32 index = 256; index-- > 0;) {
    const code_entry_t& e = entries_[index];
    const u8 code = static_cast<u8>(index);
    if (e.type2 == instruction_noop)
      singles_[single_key(e.type1, e.size1, e.mode1)] = code;
    else if (e.size1 != 0 && e.size2 != 0)
      pairs_[pair_key(e.type1, e.size1, e.mode1, e.type2, e.size2, e.mode2)] = code;
  }
}

u8 code_table_t::single_code(const code_instruction_t& instruction, bool* size_follows) const {
  if (instruction.size > 0 && instruction.size <= 255) {
    const auto exact = singles_.find(single_key(instruction.type, instruction.size, instruction.mode));
    if (exact != singles_.end()) {
      *size_follows = false;
      return exact->second;
    }
  }
  const auto sized_apart = singles_.find(single_key(instruction.type, 0, instruction.mode));
  ORVO_CHECK(sized_apart != singles_.end(), "Code table lacks an entry with a separate size.");
  *size_follows = true;
  return sized_apart->second;
}

int code_table_t::pair_code(const code_instruction_t& first, const code_instruction_t& second) const {
  if (first.size == 0 || first.size > 255 || second.size == 0 || second.size > 255) return -1;
  const auto found =
      pairs_.find(pair_key(first.type, first.size, first.mode, second.type, second.size, second.mode));
  return found == pairs_.end() ? -1 : found->second;
}

} // namespace orvo::vcdiff
