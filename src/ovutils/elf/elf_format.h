#pragma once
#include "ovcore/types.h"

namespace orvo {

// Little-endian ELF headers of both classes, as byte offsets and widths of the fields we use.
struct elf_field_t {
  u8 offset;
  u8 width;
};

struct elf_layout_t {
  u32 header_size;
  elf_field_t segment_table_offset, section_table_offset, segment_entry_size, segment_count,
      section_entry_size, section_count, name_section;
  u32 section_entry_bytes;
  elf_field_t section_name, section_type, section_flags, section_offset, section_size, section_alignment;
  u32 segment_entry_bytes;
  elf_field_t segment_type, segment_offset, segment_file_size;
};

constexpr u8 elf_magic[4] = {0x7F, 'E', 'L', 'F'};
constexpr u32 elf_ident_class = 4, elf_ident_data = 5, elf_ident_version = 6;
constexpr u8 elf_class_32 = 1, elf_class_64 = 2, elf_data_little_endian = 1;
constexpr u32 elf_section_nobits = 8, elf_section_progbits = 1, elf_section_strtab = 3;
constexpr u64 elf_section_flag_alloc = 2;
// Section indices from here on are reserved (extended numbering, which our programs never need).
constexpr u32 elf_reserved_section_index = 0xFF00;

constexpr elf_layout_t elf32_layout = {
    52, {28, 4}, {32, 4}, {42, 2}, {44, 2}, {46, 2}, {48, 2}, {50, 2},
    40, {0, 4}, {4, 4}, {8, 4}, {16, 4}, {20, 4}, {32, 4},
    32, {0, 4}, {4, 4}, {16, 4},
};

constexpr elf_layout_t elf64_layout = {
    64, {32, 8}, {40, 8}, {54, 2}, {56, 2}, {58, 2}, {60, 2}, {62, 2},
    64, {0, 4}, {4, 4}, {8, 8}, {24, 8}, {32, 8}, {48, 8},
    56, {0, 4}, {8, 8}, {32, 8},
};

inline u64 get_elf_field(const u8* record, elf_field_t field) {
  u64 value = 0;
  for (u32 i = field.width; i-- > 0;) value = value << 8 | record[field.offset + i];
  return value;
}

inline void put_elf_field(u8* record, elf_field_t field, u64 value) {
  for (u32 i = 0; i < field.width; ++i) record[field.offset + i] = static_cast<u8>(value >> (8 * i));
}

} // namespace orvo
