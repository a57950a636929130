#pragma once
#include "ovcore/types.h"

#include <unordered_map>

namespace orvo::vcdiff {

enum : u8 { instruction_noop = 0, instruction_add = 1, instruction_run = 2, instruction_copy = 3 };

constexpr u32 address_mode_count = 9; // VCD_SELF, VCD_HERE, 4 near modes, 3 same modes

// One entry of an instruction code table; size 0 means the size follows in the instruction section.
struct code_entry_t {
  u8 type1, size1, mode1;
  u8 type2, size2, mode2;
};

// One delta instruction as the code table sees it.
struct code_instruction_t {
  u8 type;
  u32 size;
  u8 mode;
};

// The default instruction code table with its encoder-side look-ups.
class code_table_t {
public:
  static const code_table_t& default_table();

  const code_entry_t& entry(u8 index) const { return entries_[index]; }

  // Code for one instruction: the entry with its exact size when there is one, else the
  // entry with size 0 (*size_follows is then true).
  u8 single_code(const code_instruction_t& instruction, bool* size_follows) const;
  // Code of an entry that holds both instructions with their exact sizes; -1 when none does.
  int pair_code(const code_instruction_t& first, const code_instruction_t& second) const;

private:
  code_table_t();
  void build_default_entries();
  void build_lookups();
  static u32 single_key(u8 type, u32 size, u8 mode) { return (size << 8) | (static_cast<u32>(type) << 4) | mode; }

  code_entry_t entries_[256] = {};
  std::unordered_map<u32, u8> singles_;
  std::unordered_map<u64, u8> pairs_;
};

} // namespace orvo::vcdiff
