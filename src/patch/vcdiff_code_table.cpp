#include "patch/vcdiff_code_table.h"

namespace orvo::patch {

namespace {

constexpr u8 default_modes = 9;

vcdiff_code_table_t build_default_table() {
  vcdiff_code_table_t table;
  u32 index = 0;
  auto single = [&](u8 type, u8 size, u8 mode) { table.entries[index++] = {{type, size, mode}, {}}; };
  auto pair = [&](vcdiff_instruction_code_t first, vcdiff_instruction_code_t second) {
    table.entries[index++] = {first, second};
  };

  single(vcd_run, 0, 0);
  for (u8 size = 0; size <= 17; ++size) single(vcd_add, size, 0);
  for (u8 mode = 0; mode < default_modes; ++mode) {
    single(vcd_copy, 0, mode);
    for (u8 size = 4; size <= 18; ++size) single(vcd_copy, size, mode);
  }
  for (u8 mode = 0; mode <= 5; ++mode)
    for (u8 add_size = 1; add_size <= 4; ++add_size)
      for (u8 copy_size = 4; copy_size <= 6; ++copy_size) pair({vcd_add, add_size, 0}, {vcd_copy, copy_size, mode});
  for (u8 mode = 6; mode < default_modes; ++mode)
    for (u8 add_size = 1; add_size <= 4; ++add_size) pair({vcd_add, add_size, 0}, {vcd_copy, 4, mode});
  for (u8 mode = 0; mode < default_modes; ++mode) pair({vcd_copy, 4, mode}, {vcd_add, 1, 0});
  return table;
}

bool valid_instruction(const vcdiff_instruction_code_t& code, u32 modes) {
  switch (code.type) {
  case vcd_noop: return code.size == 0 && code.mode == 0;
  case vcd_add:
  case vcd_run: return code.mode == 0;
  case vcd_copy: return code.mode < modes;
  default: return false;
  }
}

} // namespace

const vcdiff_code_table_t& vcdiff_default_code_table() {
  static const vcdiff_code_table_t table = build_default_table();
  return table;
}

void vcdiff_code_table_to_string(const vcdiff_code_table_t& table, u8* out) {
  for (u32 i = 0; i < 256; ++i) {
    const vcdiff_code_entry_t& entry = table.entries[i];
    out[i] = entry.first.type;
    out[256 + i] = entry.second.type;
    out[512 + i] = entry.first.size;
    out[768 + i] = entry.second.size;
    out[1024 + i] = entry.first.mode;
    out[1280 + i] = entry.second.mode;
  }
}

bool vcdiff_code_table_from_string(vcdiff_code_table_t& table, u8 near_size, u8 same_size, const u8* string) {
  const u32 modes = 2u + near_size + same_size;
  vcdiff_code_table_t decoded;
  decoded.near_size = near_size;
  decoded.same_size = same_size;
  for (u32 i = 0; i < 256; ++i) {
    vcdiff_code_entry_t& entry = decoded.entries[i];
    entry.first = {string[i], string[512 + i], string[1024 + i]};
    entry.second = {string[256 + i], string[768 + i], string[1280 + i]};
    if (!valid_instruction(entry.first, modes) || !valid_instruction(entry.second, modes)) return false;
  }
  table = decoded;
  return true;
}

} // namespace orvo::patch
