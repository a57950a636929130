#pragma once
#include "ovutils/elf/elf_format.h"

namespace orvo {

// The bytes of an executable file, read at offsets.
class elf_source_t {
public:
  virtual ~elf_source_t() = default;
  virtual u64 size() const = 0;
  // False on a failed or short read.
  virtual bool read_at(u64 offset, void* data, u32 size) = 0;
};

enum class elf_result_t : u32 {
  ok = 0,
  not_elf = 1,      // no ELF magic
  unsupported = 2,  // big-endian, unknown class or version, extended section numbering
  damaged = 3,      // a header field points outside the file or contradicts another
  io_error = 4,
  not_found = 5,    // no section of that name
};

const char* elf_result_name(elf_result_t result);

// The header fields we use, checked against each other and the file's size.
struct elf_header_t {
  const elf_layout_t* layout = nullptr;
  u64 segment_table_offset = 0;
  u32 segment_count = 0;
  u32 segment_entry_size = 0;
  u64 section_table_offset = 0;
  u32 section_count = 0;
  u32 section_entry_size = 0;
  u32 name_section = 0;
};

struct elf_section_t {
  u32 name = 0;
  u32 type = 0;
  u64 flags = 0;
  u64 offset = 0;
  u64 size = 0;
  u64 alignment = 0;

  // Bytes the section occupies in the file (none for NOBITS).
  u64 file_size() const { return type == elf_section_nobits ? 0 : size; }
};

struct elf_segment_t {
  u32 type = 0;
  u64 offset = 0;
  u64 file_size = 0;
};

// True when [offset, offset + size) lies within [0, limit), without overflow.
inline bool elf_range_fits(u64 offset, u64 size, u64 limit) { return offset <= limit && size <= limit - offset; }

elf_result_t read_elf_header(elf_source_t& source, elf_header_t& out);
// Every section's data and every segment's file range lies within the file.
elf_result_t read_elf_section(elf_source_t& source, const elf_header_t& header, u32 index, elf_section_t& out);
elf_result_t read_elf_segment(elf_source_t& source, const elf_header_t& header, u32 index, elf_segment_t& out);
// The first section named `name`, by the section-name string table.
elf_result_t find_elf_section(elf_source_t& source, const elf_header_t& header, const char* name, u32& index,
                              elf_section_t& out);

} // namespace orvo
