// ktlpack embed on PE programs: synthetic i686 and x86_64 images built here byte by byte, the
// copy read back by a resource walker of this file's own.
#include "publisher_test_support.h"

#include "tools/publisher/executable_embedding.h"

#include <cstring>
#include <map>
#include <sstream>

namespace orvo::publisher::testing {
namespace {

constexpr u32 file_alignment = 0x200, section_alignment = 0x1000, headers_size = 0x400;

void put16(bytes_t& b, u64 at, u32 v) { b[at] = u8(v), b[at + 1] = u8(v >> 8); }
void put32(bytes_t& b, u64 at, u32 v) { put16(b, at, v & 0xFFFF), put16(b, at + 2, v >> 16); }
u32 get16(const bytes_t& b, u64 at) { return b.at(at) | b.at(at + 1) << 8; }

// A resource key as text: "#24" for a number, the name otherwise.
struct resource_t {
  std::string type, name;
  u32 language;
  std::string data;
};
using resources_t = std::map<std::tuple<std::string, std::string, u32>, std::string>;

void put_key(bytes_t& b, u64 entry, const std::string& key, u64& strings) {
  if (key[0] == '#') return put32(b, entry, std::stoul(key.substr(1)));
  put32(b, entry, 0x80000000u | u32(strings));
  put16(b, strings, u32(key.size()));
  for (size_t i = 0; i < key.size(); ++i) put16(b, strings + 2 + 2 * i, u8(key[i]));
  strings += 2 + 2 * key.size();
}

// A directory's counts of named and numbered entries.
void put_counts(bytes_t& b, u64 directory, const std::vector<std::string>& keys) {
  const auto numbered = std::count_if(keys.begin(), keys.end(), [](const std::string& key) { return key[0] == '#'; });
  put16(b, directory + 12, u32(keys.size() - numbered));
  put16(b, directory + 14, u32(numbered));
}

// The .rsrc section's bytes for resources at `address`: three levels of directories, then the
// data entries, names and data. Keys are given in the order the loader expects.
bytes_t resource_section(const std::vector<resource_t>& resources, u32 address) {
  std::map<std::string, std::map<std::string, std::vector<const resource_t*>>> tree;
  std::vector<std::string> type_order;
  for (const resource_t& r : resources) {
    if (!tree.count(r.type)) type_order.push_back(r.type);
    tree[r.type][r.name].push_back(&r);
  }
  bytes_t b(0x4000);
  u64 next_directory = 16 + 8 * tree.size(), data_entry = 0x1000, strings = 0x2000, data = 0x3000;
  put_counts(b, 0, type_order);
  for (size_t t = 0; t < type_order.size(); ++t) {
    const auto& names = tree[type_order[t]];
    const u64 type_directory = next_directory;
    next_directory += 16 + 8 * names.size();
    put_key(b, 16 + 8 * t, type_order[t], strings);
    put32(b, 16 + 8 * t + 4, 0x80000000u | u32(type_directory));
    std::vector<std::string> name_keys;
    for (const auto& entry : names) name_keys.push_back(entry.first);
    put_counts(b, type_directory, name_keys);
    size_t n = 0;
    for (const auto& [name, languages] : names) {
      const u64 name_directory = next_directory;
      next_directory += 16 + 8 * languages.size();
      put_key(b, type_directory + 16 + 8 * n, name, strings);
      put32(b, type_directory + 16 + 8 * n + 4, 0x80000000u | u32(name_directory));
      put16(b, name_directory + 14, u32(languages.size()));
      for (size_t l = 0; l < languages.size(); ++l) {
        put32(b, name_directory + 16 + 8 * l, languages[l]->language);
        put32(b, name_directory + 16 + 8 * l + 4, u32(data_entry));
        put32(b, data_entry, address + u32(data));
        put32(b, data_entry + 4, u32(languages[l]->data.size()));
        std::copy(languages[l]->data.begin(), languages[l]->data.end(), b.begin() + data);
        data_entry += 16;
        data += (languages[l]->data.size() + 7) / 8 * 8;
      }
      ++n;
    }
  }
  return b;
}

struct image_options_t {
  bool pe32_plus = false;
  bool reloc_after_resources = false;  // the resource section is not the last one
  bool signed_image = false;           // a certificate table at the end of the file
  bool symbols = false;                // a COFF symbol table after the sections
};

const std::vector<resource_t> program_resources = {
    {"KTLC", "PATCH", 0, "the old container"}, {"#3", "#1", 0x409, "icon bits"},
    {"#14", "#10", 0x409, "icon group"}, {"#24", "#1", 0x409, "<assembly/>"}, {"#16", "#1", 0x407, "version"}};

bytes_t build_program(const image_options_t& options) {
  const u32 optional = 0x40 + 24, optional_size = options.pe32_plus ? 240 : 224, sections = optional + optional_size;
  const u32 count = options.reloc_after_resources ? 3 : 2;
  bytes_t b(headers_size + 0x200 + 0x4000 + (options.reloc_after_resources ? 0x200 : 0));
  b[0] = 'M', b[1] = 'Z';
  put32(b, 0x3C, 0x40);
  b[0x40] = 'P', b[0x41] = 'E';
  put16(b, 0x44, options.pe32_plus ? 0x8664 : 0x14C);
  put16(b, 0x46, count);
  put16(b, 0x54, optional_size);
  put16(b, optional, options.pe32_plus ? 0x20B : 0x10B);
  put32(b, optional + 32, section_alignment);
  put32(b, optional + 36, file_alignment);
  put32(b, optional + 56, count == 3 ? 0x8000 : 0x7000);
  put32(b, optional + 60, headers_size);
  put32(b, optional + 64, 0x12345);
  const u32 directories = optional + (options.pe32_plus ? 112 : 96);
  put32(b, directories - 4, 16);
  put32(b, directories + 16, 0x2000);
  put32(b, directories + 20, 0x4000);
  auto section = [&](u32 index, const char* name, u32 address, u32 raw_size, u32 raw_pointer) {
    const u32 at = sections + 40 * index;
    std::copy(name, name + std::strlen(name), b.begin() + at);
    put32(b, at + 8, raw_size), put32(b, at + 12, address), put32(b, at + 16, raw_size), put32(b, at + 20, raw_pointer);
    put32(b, at + 36, 0x40000040);
  };
  section(0, ".text", 0x1000, 0x200, headers_size);
  std::fill(b.begin() + headers_size, b.begin() + headers_size + 0x200, 0xCC);
  section(1, ".rsrc", 0x2000, 0x4000, headers_size + 0x200);
  const bytes_t resources = resource_section(program_resources, 0x2000);
  std::copy(resources.begin(), resources.end(), b.begin() + headers_size + 0x200);
  if (options.reloc_after_resources) {
    section(2, ".reloc", 0x6000, 0x200, headers_size + 0x4200);
    std::fill(b.end() - 0x200, b.end(), 0xEE);
  }
  if (options.symbols) {
    put32(b, 0x4C, u32(b.size()));
    const std::string table = "symbols and their string table";
    b.insert(b.end(), table.begin(), table.end());
  }
  if (options.signed_image) {
    put32(b, directories + 32, u32(b.size()));
    put32(b, directories + 36, 16);
    b.resize(b.size() + 16, 0x5A);
  }
  return b;
}

// The walker: section table, resource directory entry, then type / name / language.
struct read_image_t {
  u32 sections = 0, image_size = 0, checksum = 0, certificate = 0, symbols = 0;
  std::vector<std::array<u32, 4>> section_table;  // address, virtual size, raw size, raw pointer
  resources_t resources;
};

std::string key_text(const bytes_t& b, u64 base, u32 field) {
  if (!(field & 0x80000000u)) return "#" + std::to_string(field);
  const u64 at = base + (field & 0x7FFFFFFF);
  std::string name;
  for (u32 i = 0; i < get16(b, at); ++i) name += char(get16(b, at + 2 + 2 * i));
  return name;
}

read_image_t read_image(const bytes_t& b) {
  read_image_t out;
  const u32 pe = le32(b, 0x3C), optional = pe + 24;
  out.sections = get16(b, pe + 6);
  const bool plus = get16(b, optional) == 0x20B;
  out.image_size = le32(b, optional + 56);
  out.checksum = le32(b, optional + 64);
  out.symbols = le32(b, pe + 12);
  const u32 directories = optional + (plus ? 112 : 96);
  out.certificate = le32(b, directories + 32);
  const u32 table = optional + get16(b, pe + 20);
  for (u32 i = 0; i < out.sections; ++i)
    out.section_table.push_back({le32(b, table + 40 * i + 12), le32(b, table + 40 * i + 8), le32(b, table + 40 * i + 16),
                                 le32(b, table + 40 * i + 20)});
  auto file_offset = [&](u32 address) -> u64 {
    for (const auto& s : out.section_table)
      if (address >= s[0] && address < s[0] + s[2]) return s[3] + (address - s[0]);
    ADD_FAILURE() << "address " << address << " in no section";
    return 0;
  };
  const u64 base = file_offset(le32(b, directories + 16));
  auto entries = [&](u64 directory) { return get16(b, base + directory + 12) + get16(b, base + directory + 14); };
  for (u32 t = 0; t < entries(0); ++t) {
    const u64 type = base + 16 + 8 * t;
    const u64 names = le32(b, type + 4) & 0x7FFFFFFF;
    for (u32 n = 0; n < entries(names); ++n) {
      const u64 name = base + names + 16 + 8 * n;
      const u64 languages = le32(b, name + 4) & 0x7FFFFFFF;
      for (u32 l = 0; l < entries(languages); ++l) {
        const u64 language = base + languages + 16 + 8 * l;
        const u64 entry = base + le32(b, language + 4);
        const u64 data = file_offset(le32(b, entry));
        out.resources[{key_text(b, base, le32(b, type)), key_text(b, base, le32(b, name)), le32(b, language)}] =
            text_at(b, data, le32(b, entry + 4));
      }
    }
  }
  return out;
}

bool embed(const bytes_t& program, const std::string& container, bytes_t& out) {
  std::stringstream program_stream(std::string(program.begin(), program.end()));
  std::stringstream container_stream(container);
  std::stringstream output;
  const bool embedded = embed_in_pe({program_stream, program.size(), container_stream, container.size(), output});
  const std::string bytes = output.str();
  out.assign(bytes.begin(), bytes.end());
  return embedded;
}

class pe_embedding_test : public publisher_test_t {};

TEST_F(pe_embedding_test, copy_carries_the_container_and_keeps_every_other_resource) {
  const struct {
    const char* name;
    image_options_t options;
    u32 sections;
  } rows[] = {
      {"i686, resources last: replaced in place", {}, 2},
      {"x86_64, resources last, symbols after them", {.pe32_plus = true, .symbols = true}, 2},
      {"i686, relocations after the resources: a new section", {.reloc_after_resources = true}, 4},
      {"x86_64, signed, relocations last", {.pe32_plus = true, .reloc_after_resources = true, .signed_image = true}, 4},
  };
  const std::string container = std::string(100000, 'c') + "end";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const bytes_t program = build_program(row.options);
    bytes_t copy;
    ASSERT_TRUE(embed(program, container, copy));
    const read_image_t before = read_image(program), after = read_image(copy);
    resources_t expected = before.resources;
    expected[{"KTLC", "PATCH", 0}] = container;
    EXPECT_EQ(after.resources, expected);
    EXPECT_EQ(after.sections, row.sections);
    u32 memory_end = 0;
    for (const auto& s : after.section_table) {
      EXPECT_EQ(s[0] % section_alignment, 0u);
      EXPECT_EQ(s[3] % file_alignment, 0u);
      EXPECT_EQ(s[2] % file_alignment, 0u);
      EXPECT_LE(u64{s[3]} + s[2], copy.size());
      memory_end = std::max(memory_end, s[0] + std::max(s[1], s[2]));
    }
    EXPECT_EQ(after.image_size, (memory_end + section_alignment - 1) / section_alignment * section_alignment);
    EXPECT_EQ(after.certificate, 0u);
    EXPECT_NE(after.checksum, before.checksum);
    EXPECT_EQ(text_at(copy, 0x400, 4), "\xCC\xCC\xCC\xCC");
    if (row.options.symbols) {
      EXPECT_EQ(text_at(copy, after.symbols, 7), "symbols");
    }
    // Embedding again replaces the container and leaves the rest as it was.
    bytes_t again;
    ASSERT_TRUE(embed(copy, "second", again));
    expected[{"KTLC", "PATCH", 0}] = "second";
    EXPECT_EQ(read_image(again).resources, expected);
  }
}

TEST_F(pe_embedding_test, damaged_programs_are_refused) {
  const struct {
    const char* name;
    void (*damage)(bytes_t&);
    const char* message;
  } rows[] = {
      {"cut inside the headers", [](bytes_t& b) { b.resize(0x100); }, "headers do not fit"},
      {"PE header past the end", [](bytes_t& b) { put32(b, 0x3C, 0x7FFFFFF0); }, "no PE header"},
      {"no PE signature", [](bytes_t& b) { b[0x40] = 'X'; }, "no PE header"},
      {"unknown optional header", [](bytes_t& b) { put16(b, 0x58, 0x107); }, "unknown optional header"},
      {"file alignment not a power of two", [](bytes_t& b) { put32(b, 0x58 + 36, 0x300); }, "bad section or file alignment"},
      {"section data past the end", [](bytes_t& b) { put32(b, 0x58 + 224 + 40 + 16, 0x7FFFFF00); }, "past the end of the file"},
      {"section table past the headers", [](bytes_t& b) { put16(b, 0x46, 40); }, "headers do not fit"},
      {"resource directory in no section", [](bytes_t& b) { put32(b, 0x58 + 96 + 16, 0x90000); }, "not in a section"},
      {"resource directory points at itself", [](bytes_t& b) { put32(b, 0x600 + 16 + 4, 0x80000000u); }, "nested too deep"},
      {"resource name out of bounds", [](bytes_t& b) { put32(b, 0x600 + 16, 0x80FFFFF0u); }, "name out of bounds"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    bytes_t program = build_program({});
    row.damage(program);
    bytes_t copy;
    log_lines.clear();
    EXPECT_FALSE(embed(program, "container", copy));
    EXPECT_TRUE(logged(row.message));
  }
  // Resources are addressed with 32 bits: a 4 GiB container is refused before a byte is read.
  const bytes_t program = build_program({});
  std::stringstream program_stream(std::string(program.begin(), program.end())), empty, output;
  EXPECT_FALSE(embed_in_pe({program_stream, program.size(), empty, u64{4} << 30, output}));
  EXPECT_TRUE(logged("limited to 4 GiB"));
}

} // namespace
} // namespace orvo::publisher::testing
