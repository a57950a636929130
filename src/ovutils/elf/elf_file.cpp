#include "ovutils/elf/elf_file.h"

#include <cstring>

namespace orvo {

namespace {

constexpr u32 max_name_length = 255;

// One entry of a table of `count` entries, of which we use the first `bytes` (at most 64).
struct table_t {
  u64 offset;
  u32 count;
  u32 entry_size;
  u32 bytes;
};

elf_result_t read_entry(elf_source_t& source, const table_t& table, u32 index, u8* out) {
  if (index >= table.count) return elf_result_t::damaged;
  const u64 offset = table.offset + u64{index} * table.entry_size;
  if (!elf_range_fits(offset, table.bytes, source.size())) return elf_result_t::damaged;
  return source.read_at(offset, out, table.bytes) ? elf_result_t::ok : elf_result_t::io_error;
}

bool table_fits(u64 offset, u32 count, u32 entry_size, u64 file_size) {
  return elf_range_fits(offset, u64{count} * entry_size, file_size);
}

} // namespace

const char* elf_result_name(elf_result_t result) {
  static const char* const names[] = {"ok", "not_elf", "unsupported", "damaged", "io_error", "not_found"};
  const u32 index = static_cast<u32>(result);
  return index < sizeof(names) / sizeof(names[0]) ? names[index] : "";
}

elf_result_t read_elf_header(elf_source_t& source, elf_header_t& out) {
  out = {};
  u8 bytes[64] = {};
  if (source.size() < 16) return elf_result_t::not_elf;
  if (!source.read_at(0, bytes, 16)) return elf_result_t::io_error;
  if (std::memcmp(bytes, elf_magic, sizeof(elf_magic)) != 0) return elf_result_t::not_elf;
  const u8 file_class = bytes[elf_ident_class];
  if ((file_class != elf_class_32 && file_class != elf_class_64) || bytes[elf_ident_data] != elf_data_little_endian ||
      bytes[elf_ident_version] != 1)
    return elf_result_t::unsupported;
  const elf_layout_t& layout = file_class == elf_class_64 ? elf64_layout : elf32_layout;
  if (source.size() < layout.header_size) return elf_result_t::damaged;
  if (!source.read_at(0, bytes, layout.header_size)) return elf_result_t::io_error;
  out.layout = &layout;
  out.segment_table_offset = get_elf_field(bytes, layout.segment_table_offset);
  out.segment_count = static_cast<u32>(get_elf_field(bytes, layout.segment_count));
  out.segment_entry_size = static_cast<u32>(get_elf_field(bytes, layout.segment_entry_size));
  out.section_table_offset = get_elf_field(bytes, layout.section_table_offset);
  out.section_count = static_cast<u32>(get_elf_field(bytes, layout.section_count));
  out.section_entry_size = static_cast<u32>(get_elf_field(bytes, layout.section_entry_size));
  out.name_section = static_cast<u32>(get_elf_field(bytes, layout.name_section));
  // A count of 0 with a table offset, or a name index at or past 0xFF00, means extended numbering.
  if ((out.section_count == 0 && out.section_table_offset != 0) || out.name_section >= elf_reserved_section_index)
    return elf_result_t::unsupported;
  if (out.segment_count != 0 && (out.segment_entry_size < layout.segment_entry_bytes ||
                                 !table_fits(out.segment_table_offset, out.segment_count, out.segment_entry_size,
                                             source.size())))
    return elf_result_t::damaged;
  if (out.section_count != 0 && (out.section_entry_size < layout.section_entry_bytes ||
                                 !table_fits(out.section_table_offset, out.section_count, out.section_entry_size,
                                             source.size()) ||
                                 out.name_section >= out.section_count))
    return elf_result_t::damaged;
  return elf_result_t::ok;
}

elf_result_t read_elf_section(elf_source_t& source, const elf_header_t& header, u32 index, elf_section_t& out) {
  out = {};
  const elf_layout_t& layout = *header.layout;
  u8 bytes[64];
  const table_t table = {header.section_table_offset, header.section_count, header.section_entry_size,
                         layout.section_entry_bytes};
  if (const elf_result_t read = read_entry(source, table, index, bytes); read != elf_result_t::ok) return read;
  out.name = static_cast<u32>(get_elf_field(bytes, layout.section_name));
  out.type = static_cast<u32>(get_elf_field(bytes, layout.section_type));
  out.flags = get_elf_field(bytes, layout.section_flags);
  out.offset = get_elf_field(bytes, layout.section_offset);
  out.size = get_elf_field(bytes, layout.section_size);
  out.alignment = get_elf_field(bytes, layout.section_alignment);
  // A section without bytes in the file may name any offset.
  if (out.type == elf_section_nobits) return elf_result_t::ok;
  return elf_range_fits(out.offset, out.size, source.size()) ? elf_result_t::ok : elf_result_t::damaged;
}

elf_result_t read_elf_segment(elf_source_t& source, const elf_header_t& header, u32 index, elf_segment_t& out) {
  out = {};
  const elf_layout_t& layout = *header.layout;
  u8 bytes[64];
  const table_t table = {header.segment_table_offset, header.segment_count, header.segment_entry_size,
                         layout.segment_entry_bytes};
  if (const elf_result_t read = read_entry(source, table, index, bytes); read != elf_result_t::ok) return read;
  out.type = static_cast<u32>(get_elf_field(bytes, layout.segment_type));
  out.offset = get_elf_field(bytes, layout.segment_offset);
  out.file_size = get_elf_field(bytes, layout.segment_file_size);
  return elf_range_fits(out.offset, out.file_size, source.size()) ? elf_result_t::ok : elf_result_t::damaged;
}

elf_result_t find_elf_section(elf_source_t& source, const elf_header_t& header, const char* name, u32& index,
                              elf_section_t& out) {
  out = {};
  if (header.section_count == 0) return elf_result_t::not_found;
  elf_section_t names;
  elf_result_t result = read_elf_section(source, header, header.name_section, names);
  if (result != elf_result_t::ok) return result;
  if (names.type != elf_section_strtab) return elf_result_t::damaged;
  const u32 length = static_cast<u32>(std::strlen(name));
  if (length > max_name_length) return elf_result_t::not_found;
  char candidate[max_name_length + 1];
  for (u32 i = 0; i < header.section_count; ++i) {
    elf_section_t section;
    result = read_elf_section(source, header, i, section);
    if (result != elf_result_t::ok) return result;
    // The name and its terminator must lie within the string table.
    if (section.name >= names.size || names.size - section.name < u64{length} + 1) continue;
    if (!source.read_at(names.offset + section.name, candidate, length + 1)) return elf_result_t::io_error;
    if (std::memcmp(candidate, name, length + 1) != 0) continue;
    index = i;
    out = section;
    return elf_result_t::ok;
  }
  return elf_result_t::not_found;
}

} // namespace orvo
