#pragma once
#include "ovcore/types.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace orvo::publisher {

// Byte offsets of the PE/COFF fields we use.
constexpr u32 pe_dos_header_size = 64, pe_new_header_pointer = 0x3C;
constexpr u32 coff_header_size = 20, coff_section_count = 2, coff_symbol_table = 8, coff_optional_header_size = 16;
constexpr u32 pe32_magic = 0x10B, pe32_plus_magic = 0x20B;
constexpr u32 optional_initialized_data = 8, optional_section_alignment = 32, optional_file_alignment = 36,
              optional_image_size = 56, optional_headers_size = 60, optional_checksum = 64;
constexpr u32 pe32_directory_count = 92, pe32_plus_directory_count = 108;
constexpr u32 pe_directory_resource = 2, pe_directory_certificate = 4;
constexpr u32 pe_section_header_size = 40;
constexpr u32 section_virtual_size = 8, section_address = 12, section_raw_size = 16, section_raw_pointer = 20,
              section_characteristics = 36;
constexpr u32 section_initialized_readable = 0x40000040;

struct pe_section_t {
  u32 header_offset = 0;  // of its entry in the section table
  u32 virtual_size = 0;
  u32 address = 0;
  u32 raw_size = 0;
  u32 raw_pointer = 0;

  // Address just past the section in memory.
  u64 memory_end() const { return u64{address} + (virtual_size ? virtual_size : raw_size); }
  u64 raw_end() const { return u64{raw_pointer} + raw_size; }
};

// A PE executable's headers, checked against each other and the file's size. The header bytes
// are kept so that a rewrite changes only the fields it means to.
struct pe_image_t {
  u64 file_size = 0;
  std::string headers;  // bytes [0, SizeOfHeaders)
  u32 coff_offset = 0;
  u32 optional_offset = 0;
  u32 directory_offset = 0;
  u32 directory_count = 0;
  u32 section_table_offset = 0;
  u32 file_alignment = 0;
  u32 section_alignment = 0;
  std::vector<pe_section_t> sections;

  u32 field32(u32 offset) const;
  void set_field32(u32 offset, u32 value);
  u32 directory_address(u32 index) const { return field32(directory_offset + 8 * index); }
  u32 directory_size(u32 index) const { return field32(directory_offset + 8 * index + 4); }
  // The file offset of `size` bytes at address `address`; false when they do not lie in one
  // section's data in the file.
  bool file_offset(u32 address, u32 size, u64& out) const;
  // End of the last section's data in the file: what follows is not part of the image.
  u64 sections_end() const;
};

// False (logged) when the stream holds no PE image or its headers are damaged.
bool read_pe_image(std::istream& program, u64 size, pe_image_t& out);

// The image checksum of a whole file: 16-bit one's-complement-style sum with carries folded,
// the checksum field itself counting as zero, plus the file's length. False on a failed read.
bool compute_pe_checksum(std::istream& file, u64 size, u64 checksum_offset, u32& out);

} // namespace orvo::publisher
