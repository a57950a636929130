#include "tools/publisher/pe_image.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/file_io.h"

#include <algorithm>
#include <istream>

namespace orvo::publisher {

namespace {

constexpr u32 max_headers_size = 1 << 20;
constexpr u32 max_sections = 96;

u32 load32(const std::string& bytes, u32 offset) {
  u32 value = 0;
  for (u32 i = 4; i-- > 0;) value = value << 8 | static_cast<u8>(bytes[offset + i]);
  return value;
}

u32 load16(const std::string& bytes, u32 offset) {
  return static_cast<u8>(bytes[offset]) | static_cast<u32>(static_cast<u8>(bytes[offset + 1])) << 8;
}

bool is_power_of_two(u32 value) { return value && !(value & (value - 1)); }

bool damaged(const char* text) {
  log_error("[ERR] PE program: %s", text);
  return false;
}

bool read_sections(pe_image_t& image, u32 count) {
  for (u32 i = 0; i < count; ++i) {
    pe_section_t section;
    section.header_offset = image.section_table_offset + i * pe_section_header_size;
    section.virtual_size = image.field32(section.header_offset + section_virtual_size);
    section.address = image.field32(section.header_offset + section_address);
    section.raw_size = image.field32(section.header_offset + section_raw_size);
    section.raw_pointer = image.field32(section.header_offset + section_raw_pointer);
    if (section.raw_size && section.raw_end() > image.file_size) return damaged("a section's data lies past the end of the file");
    if (section.memory_end() > 0xFFFFFFFFu) return damaged("a section lies past 4 GiB");
    image.sections.push_back(section);
  }
  return true;
}

} // namespace

u32 pe_image_t::field32(u32 offset) const { return load32(headers, offset); }

void pe_image_t::set_field32(u32 offset, u32 value) {
  for (u32 i = 0; i < 4; ++i) headers[offset + i] = static_cast<char>(value >> (8 * i));
}

bool pe_image_t::file_offset(u32 address, u32 size, u64& out) const {
  for (const pe_section_t& section : sections) {
    if (address < section.address || u64{address} + size > u64{section.address} + section.raw_size) continue;
    out = u64{section.raw_pointer} + (address - section.address);
    return true;
  }
  return false;
}

u64 pe_image_t::sections_end() const {
  u64 end = headers.size();
  for (const pe_section_t& section : sections)
    if (section.raw_size) end = std::max(end, section.raw_end());
  return end;
}

bool read_pe_image(std::istream& program, u64 size, pe_image_t& out) {
  out = pe_image_t();
  out.file_size = size;
  std::string& bytes = out.headers;
  bytes.assign(pe_dos_header_size, '\0');
  if (size < pe_dos_header_size || !read_at(program, 0, bytes.data(), bytes.size()) || bytes.compare(0, 2, "MZ"))
    return damaged("no DOS header");
  out.coff_offset = load32(bytes, pe_new_header_pointer) + 4;
  if (out.coff_offset < pe_dos_header_size || out.coff_offset > max_headers_size) return damaged("no PE header");
  const u32 optional_directory = optional_checksum + 32;  // the directory count field of a PE32 header
  bytes.assign(std::min<u64>(size, u64{out.coff_offset} + coff_header_size + optional_directory), '\0');
  if (!read_at(program, 0, bytes.data(), bytes.size()) || bytes.size() < out.coff_offset + coff_header_size ||
      bytes.compare(out.coff_offset - 4, 4, std::string("PE\0\0", 4)))
    return damaged("no PE header");
  out.optional_offset = out.coff_offset + coff_header_size;
  const u32 optional_size = load16(bytes, out.coff_offset + coff_optional_header_size);
  const u32 section_count = load16(bytes, out.coff_offset + coff_section_count);
  if (bytes.size() < out.optional_offset + optional_directory) return damaged("the optional header is cut short");
  const u32 magic = load16(bytes, out.optional_offset);
  if (magic != pe32_magic && magic != pe32_plus_magic) return damaged("unknown optional header");
  const u32 count_field = magic == pe32_magic ? pe32_directory_count : pe32_plus_directory_count;
  const u64 headers_size = load32(bytes, out.optional_offset + optional_headers_size);
  out.section_table_offset = out.optional_offset + optional_size;
  if (headers_size > max_headers_size || headers_size > size ||
      u64{out.section_table_offset} + u64{section_count} * pe_section_header_size > headers_size)
    return damaged("the headers do not fit their declared size");
  bytes.assign(static_cast<size_t>(headers_size), '\0');
  if (!read_at(program, 0, bytes.data(), bytes.size())) return damaged("unreadable headers");
  if (optional_size < count_field + 4) return damaged("the optional header is cut short");
  out.directory_count = out.field32(out.optional_offset + count_field);
  out.directory_offset = out.optional_offset + count_field + 4;
  if (out.directory_count <= pe_directory_certificate || u64{out.directory_offset} + 8 * u64{out.directory_count} >
                                                             out.section_table_offset)
    return damaged("the data directory is cut short");
  out.file_alignment = out.field32(out.optional_offset + optional_file_alignment);
  out.section_alignment = out.field32(out.optional_offset + optional_section_alignment);
  if (!is_power_of_two(out.file_alignment) || out.file_alignment > 65536 || !is_power_of_two(out.section_alignment) ||
      out.section_alignment < out.file_alignment)
    return damaged("bad section or file alignment");
  if (section_count == 0 || section_count > max_sections) return damaged("bad section count");
  return read_sections(out, section_count);
}

bool compute_pe_checksum(std::istream& file, u64 size, u64 checksum_offset, u32& out) {
  std::string buffer(copy_chunk_size, '\0');
  u64 sum = 0;
  for (u64 offset = 0; offset < size; offset += buffer.size()) {
    const size_t step = size - offset < buffer.size() ? static_cast<size_t>(size - offset) : buffer.size();
    if (!read_at(file, offset, buffer.data(), step)) return false;
    for (size_t i = 0; i < step; i += 2) {
      const u64 position = offset + i;
      if (position >= checksum_offset && position < checksum_offset + 4) continue;
      sum += static_cast<u8>(buffer[i]) | (i + 1 < step ? u32{static_cast<u8>(buffer[i + 1])} << 8 : 0u);
      sum = (sum & 0xFFFF) + (sum >> 16);
    }
  }
  out = static_cast<u32>((sum & 0xFFFF) + (sum >> 16) + size);
  return true;
}

} // namespace orvo::publisher
