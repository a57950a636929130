// The ELF reader the Linux updater finds its container with: a small program file of each class,
// built here byte by byte, then one damage per row.
#include "ovutils/elf/elf_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace orvo {
namespace {

using bytes_t = std::vector<u8>;

// Field positions of the two classes, from the ELF standard.
struct class_fields_t {
  u8 file_class;
  u32 section_table, entry_size, count, names, header_size;
  u32 sh_name, sh_type, sh_offset, sh_size, sh_bytes, word;
};
constexpr class_fields_t elf32 = {1, 32, 46, 48, 50, 52, 0, 4, 16, 20, 40, 4};
constexpr class_fields_t elf64 = {2, 40, 58, 60, 62, 64, 0, 4, 24, 32, 64, 8};

constexpr u32 names_at = 0x100, data_at = 0x140, table_at = 0x200;
const char names[] = "\0.shstrtab\0.orvo.container";  // 27 bytes with the final terminator

// Where field `field` of section entry `index` lies.
u64 at(const class_fields_t& c, u32 index, u32 field) { return table_at + index * c.sh_bytes + field; }

void put(bytes_t& b, u64 at, u64 value, u32 width) {
  for (u32 i = 0; i < width; ++i) b[at + i] = u8(value >> (8 * i));
}

bytes_t program(const class_fields_t& c) {
  bytes_t b(table_at + 3 * c.sh_bytes);
  const u8 ident[] = {0x7F, 'E', 'L', 'F', c.file_class, 1, 1};
  std::memcpy(b.data(), ident, sizeof(ident));
  put(b, c.section_table, table_at, c.word);
  put(b, c.entry_size, c.sh_bytes, 2);
  put(b, c.count, 3, 2);
  put(b, c.names, 1, 2);
  std::memcpy(b.data() + names_at, names, sizeof(names));
  std::memcpy(b.data() + data_at, "CONTAINER", 9);
  const u64 names_entry = table_at + c.sh_bytes, container_entry = table_at + 2 * c.sh_bytes;
  put(b, names_entry + c.sh_name, 1, 4);
  put(b, names_entry + c.sh_type, 3, 4);
  put(b, names_entry + c.sh_offset, names_at, c.word);
  put(b, names_entry + c.sh_size, sizeof(names), c.word);
  put(b, container_entry + c.sh_name, 11, 4);
  put(b, container_entry + c.sh_type, 1, 4);
  put(b, container_entry + c.sh_offset, data_at, c.word);
  put(b, container_entry + c.sh_size, 9, c.word);
  return b;
}

class memory_source_t final : public elf_source_t {
public:
  memory_source_t(const bytes_t& bytes, bool failing) : bytes_(bytes), failing_(failing) {}
  u64 size() const override { return bytes_.size(); }
  bool read_at(u64 offset, void* data, u32 size) override {
    if (failing_) return false;
    EXPECT_TRUE(elf_range_fits(offset, size, bytes_.size())) << "read past the end at " << offset;
    if (!elf_range_fits(offset, size, bytes_.size())) return false;
    std::memcpy(data, bytes_.data() + offset, size);
    return true;
  }

private:
  const bytes_t& bytes_;
  bool failing_;
};

elf_result_t locate(const bytes_t& bytes, elf_section_t& section, bool failing = false) {
  memory_source_t source(bytes, failing);
  elf_header_t header;
  u32 index = 0;
  const elf_result_t result = read_elf_header(source, header);
  return result == elf_result_t::ok ? find_elf_section(source, header, ".orvo.container", index, section) : result;
}

TEST(elf_file_test, container_section_is_found_only_through_sound_headers) {
  struct row_t {
    const char* name;
    void (*damage)(bytes_t&, const class_fields_t&);
    elf_result_t expected;
  };
  const row_t rows[] = {
      {"intact", [](bytes_t&, const class_fields_t&) {}, elf_result_t::ok},
      {"empty file", [](bytes_t& b, const class_fields_t&) { b.clear(); }, elf_result_t::not_elf},
      {"no magic", [](bytes_t& b, const class_fields_t&) { b[1] = 'X'; }, elf_result_t::not_elf},
      {"big-endian", [](bytes_t& b, const class_fields_t&) { b[5] = 2; }, elf_result_t::unsupported},
      {"unknown class", [](bytes_t& b, const class_fields_t&) { b[4] = 3; }, elf_result_t::unsupported},
      {"cut inside the header", [](bytes_t& b, const class_fields_t&) { b.resize(40); }, elf_result_t::damaged},
      {"section table cut short", [](bytes_t& b, const class_fields_t& c) { b.resize(b.size() - c.sh_bytes / 2); },
       elf_result_t::damaged},
      {"section table offset wraps around",
       [](bytes_t& b, const class_fields_t& c) { put(b, c.section_table, ~u64{0} - 8, c.word); }, elf_result_t::damaged},
      {"section entries too small", [](bytes_t& b, const class_fields_t& c) { put(b, c.entry_size, 8, 2); },
       elf_result_t::damaged},
      {"name table index past the table", [](bytes_t& b, const class_fields_t& c) { put(b, c.names, 3, 2); },
       elf_result_t::damaged},
      {"extended section numbering", [](bytes_t& b, const class_fields_t& c) { put(b, c.names, 0xFFFF, 2); },
       elf_result_t::unsupported},
      {"names not a string table", [](bytes_t& b, const class_fields_t& c) { put(b, at(c, 1, c.sh_type), 1, 4); },
       elf_result_t::damaged},
      {"name table past the end",
       [](bytes_t& b, const class_fields_t& c) { put(b, at(c, 1, c.sh_offset), b.size() - 4, c.word); },
       elf_result_t::damaged},
      {"container data past the end",
       [](bytes_t& b, const class_fields_t& c) { put(b, at(c, 2, c.sh_size), b.size(), c.word); },
       elf_result_t::damaged},
      {"container offset wraps around",
       [](bytes_t& b, const class_fields_t& c) { put(b, at(c, 2, c.sh_offset), ~u64{0} - 4, c.word); },
       elf_result_t::damaged},
      {"name offset past the names", [](bytes_t& b, const class_fields_t& c) { put(b, at(c, 2, c.sh_name), 4000, 4); },
       elf_result_t::not_found},
      {"name without its terminator in the table",
       [](bytes_t& b, const class_fields_t& c) { put(b, at(c, 1, c.sh_size), sizeof(names) - 1, c.word); },
       elf_result_t::not_found},
      {"another name", [](bytes_t& b, const class_fields_t&) { b[names_at + 25] = 'X'; }, elf_result_t::not_found},
      {"no sections",
       [](bytes_t& b, const class_fields_t& c) {
         put(b, c.count, 0, 2);
         put(b, c.section_table, 0, c.word);
         put(b, c.names, 0, 2);
       },
       elf_result_t::not_found},
  };
  for (const class_fields_t& c : {elf32, elf64}) {
    for (const row_t& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (c.file_class == 1 ? " (32-bit)" : " (64-bit)"));
      bytes_t bytes = program(c);
      row.damage(bytes, c);
      elf_section_t section;
      EXPECT_EQ(elf_result_name(locate(bytes, section)), std::string(elf_result_name(row.expected)));
      if (row.expected == elf_result_t::ok) {
        EXPECT_EQ(section.offset, data_at);
        EXPECT_EQ(section.size, 9u);
      }
    }
    elf_section_t section;
    EXPECT_EQ(locate(program(c), section, true), elf_result_t::io_error);
  }
}

} // namespace
} // namespace orvo
