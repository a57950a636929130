#pragma once
#include "patch/vcdiff_format.h"

namespace orvo::patch {

enum : u8 {
  vcd_noop = 0,
  vcd_add = 1,
  vcd_run = 2,
  vcd_copy = 3,
};

// One instruction of a code table entry; size 0 means the size follows in the instruction section.
struct vcdiff_instruction_code_t {
  u8 type = vcd_noop;
  u8 size = 0;
  u8 mode = 0;
};

struct vcdiff_code_entry_t {
  vcdiff_instruction_code_t first;
  vcdiff_instruction_code_t second;
};

// The 256-entry instruction code table with the address cache sizes it is used with.
struct vcdiff_code_table_t {
  static constexpr u32 string_size = 6 * 256;

  u8 near_size = 4;
  u8 same_size = 3;
  vcdiff_code_entry_t entries[256];
};

const vcdiff_code_table_t& vcdiff_default_code_table();

// The table as the 1536-byte string that application-defined tables are delta-encoded from.
void vcdiff_code_table_to_string(const vcdiff_code_table_t& table, u8* out);
// False when an entry names an unknown instruction or an address mode the caches do not have.
bool vcdiff_code_table_from_string(vcdiff_code_table_t& table, u8 near_size, u8 same_size, const u8* string);

} // namespace orvo::patch
