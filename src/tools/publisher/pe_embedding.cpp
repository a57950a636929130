#include "ovcore/messages/messages.h"
#include "tools/patcher/embedded_container.h"
#include "tools/publisher/executable_embedding.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/pe_image.h"
#include "tools/publisher/pe_resource_tree.h"

#include <algorithm>
#include <cstring>
#include <iostream>

namespace orvo::publisher {

namespace {

constexpr char resource_section_name[8] = {'.', 'r', 's', 'r', 'c'};
constexpr char replaced_section_name[8] = {'.', 'r', 's', 'r', 'c', '0'};


bool fail(const char* text) {
  log_error("[ERR] PE program: %s", text);
  return false;
}

// Where the new resource section goes: over the old one when that is the image's last section
// and holds nothing else, else behind the last section.
struct placement_t {
  const pe_section_t* replaced = nullptr;
  u32 address = 0;
  u64 raw_pointer = 0;
  u64 kept_end = 0;  // the input's bytes before this stay as they are
};

const pe_section_t* resource_section(const pe_image_t& image) {
  const u32 address = image.directory_address(pe_directory_resource);
  if (address == 0) return nullptr;
  for (const pe_section_t& section : image.sections)
    if (address >= section.address && address < section.memory_end()) return &section;
  return nullptr;
}

placement_t place(const pe_image_t& image) {
  placement_t placement;
  u64 memory_end = 0;
  for (const pe_section_t& section : image.sections) memory_end = std::max(memory_end, section.memory_end());
  const pe_section_t* old = resource_section(image);
  const bool last = old && old->address == image.directory_address(pe_directory_resource) &&
                    old->memory_end() == memory_end && old->raw_end() == image.sections_end() &&
                    std::none_of(image.sections.begin(), image.sections.end(), [&](const pe_section_t& section) {
                      return &section != old && section.raw_size && section.raw_pointer >= old->raw_pointer;
                    });
  if (last) {
    placement.replaced = old;
    placement.address = old->address;
    placement.raw_pointer = old->raw_pointer;
    placement.kept_end = old->raw_pointer;
  } else {
    placement.address = static_cast<u32>(align_up(memory_end, image.section_alignment));
    placement.raw_pointer = align_up(image.sections_end(), image.file_alignment);
    placement.kept_end = image.sections_end();
  }
  return placement;
}

// Adds the section table entry of a new section, where the headers have room for it.
bool add_section_header(pe_image_t& image, const placement_t& placement) {
  const u32 count = static_cast<u32>(image.sections.size());
  const u64 entry = image.section_table_offset + u64{count} * pe_section_header_size;
  u64 first_data = image.headers.size();
  for (const pe_section_t& section : image.sections)
    if (section.raw_size) first_data = std::min<u64>(first_data, section.raw_pointer);
  if (entry + pe_section_header_size > first_data ||
      image.headers.find_first_not_of('\0', entry) < entry + pe_section_header_size)
    return fail("no room for another section header");
  image.headers.replace(entry, sizeof(resource_section_name), resource_section_name, sizeof(resource_section_name));
  image.set_field32(static_cast<u32>(entry) + section_address, placement.address);
  image.set_field32(static_cast<u32>(entry) + section_raw_pointer, static_cast<u32>(placement.raw_pointer));
  image.set_field32(static_cast<u32>(entry) + section_characteristics, section_initialized_readable);
  const u32 count_field = image.coff_offset + coff_section_count;
  image.headers[count_field] = static_cast<char>(count + 1);
  image.headers[count_field + 1] = static_cast<char>((count + 1) >> 8);
  if (const pe_section_t* old = resource_section(image); old && !image.headers.compare(old->header_offset, 8, resource_section_name, 8))
    image.headers.replace(old->header_offset, 8, replaced_section_name, 8);
  image.sections.push_back({static_cast<u32>(entry), 0, placement.address, 0, static_cast<u32>(placement.raw_pointer)});
  return true;
}

class pe_rewrite_t {
public:
  explicit pe_rewrite_t(const embedding_t& embedding) : embedding_(embedding) {}

  bool run() {
    resource_node_t root;
    if (!read_pe_image(embedding_.program, embedding_.program_size, image_) ||
        !read_resource_tree(embedding_.program, image_, container_resource_type, container_resource_name, root))
      return false;
    set_container_resource(root, container_resource_type, container_resource_name);
    placement_ = place(image_);
    if (placement_.kept_end < image_.headers.size()) return fail("a section overlaps the headers");
    std::string tree;
    if (!write_resource_tree(root, placement_.address, embedding_.container_size, tree)) return false;
    resources_size_ = tree.size() + embedding_.container_size;
    raw_size_ = align_up(resources_size_, image_.file_alignment);
    if (placement_.raw_pointer + raw_size_ > 0xFFFFFFFFu) return fail("the program would pass 4 GiB");
    return update_headers() && write(tree) && write_checksum();
  }

private:
  bool update_headers() {
    const u64 old_end = image_.sections_end();
    const u64 old_raw_size = placement_.replaced ? placement_.replaced->raw_size : 0;
    if (!placement_.replaced && !add_section_header(image_, placement_)) return false;
    const pe_section_t& section = placement_.replaced ? *placement_.replaced : image_.sections.back();
    image_.set_field32(section.header_offset + section_virtual_size, static_cast<u32>(resources_size_));
    image_.set_field32(section.header_offset + section_raw_size, static_cast<u32>(raw_size_));
    const u32 resource_entry = image_.directory_offset + 8 * pe_directory_resource;
    image_.set_field32(resource_entry, placement_.address);
    image_.set_field32(resource_entry + 4, static_cast<u32>(resources_size_));
    u64 memory_end = u64{placement_.address} + resources_size_;
    for (const pe_section_t& other : image_.sections)
      if (&other != &section) memory_end = std::max(memory_end, other.memory_end());
    const u64 image_size = align_up(memory_end, image_.section_alignment);
    if (image_size > 0xFFFFFFFFu) return fail("the image would pass 4 GiB of address space");
    image_.set_field32(image_.optional_offset + optional_image_size, static_cast<u32>(image_size));
    const u32 data_field = image_.optional_offset + optional_initialized_data;
    image_.set_field32(data_field, static_cast<u32>(image_.field32(data_field) + raw_size_ - old_raw_size));
    image_.set_field32(image_.optional_offset + optional_checksum, 0);  // computed once the file is written
    overlay_ = {old_end, embedding_.program_size};
    drop_certificate();
    const u32 symbol_field = image_.coff_offset + coff_symbol_table;
    const u32 symbols = image_.field32(symbol_field);
    if (symbols && symbols >= old_end)
      image_.set_field32(symbol_field, static_cast<u32>(symbols - old_end + placement_.raw_pointer + raw_size_));
    return true;
  }

  // A signature cannot hold over a changed file: its table entry goes, and its bytes with it
  // when they end the file.
  void drop_certificate() {
    const u32 entry = image_.directory_offset + 8 * pe_directory_certificate;
    const u64 offset = image_.field32(entry), size = image_.field32(entry + 4);
    if (size == 0) return;
    log_warning("[WRN] The program was signed; the copy carries no signature, sign it again");
    if (offset >= overlay_.first && offset + size == overlay_.second) overlay_.second = offset;
    image_.set_field32(entry, 0);
    image_.set_field32(entry + 4, 0);
  }

  bool write(const std::string& tree) {
    std::ostream& out = embedding_.output;
    const u64 headers = image_.headers.size();
    const bool written =
        out.write(image_.headers.data(), static_cast<std::streamsize>(headers)) &&
        copy_range(embedding_.program, headers, placement_.kept_end - headers, out) &&
        write_zeros(out, placement_.raw_pointer - placement_.kept_end) &&
        out.write(tree.data(), static_cast<std::streamsize>(tree.size())) &&
        copy_range(embedding_.container, 0, embedding_.container_size, out) &&
        write_zeros(out, raw_size_ - resources_size_) &&
        copy_range(embedding_.program, overlay_.first, overlay_.second - overlay_.first, out);
    return written || fail("write failed");
  }

  bool write_checksum() {
    std::iostream& file = embedding_.output;
    const u64 checksum_field = image_.optional_offset + optional_checksum;
    u32 checksum = 0;
    u8 bytes[4];
    if (!file.flush()) return fail("write failed");
    const u64 size = static_cast<u64>(file.tellp());
    if (!compute_pe_checksum(file, size, checksum_field, checksum)) return fail("unable to read the copy back");
    for (u32 i = 0; i < 4; ++i) bytes[i] = static_cast<u8>(checksum >> (8 * i));
    return (write_at(file, checksum_field, bytes, sizeof(bytes)) && file.flush()) || fail("write failed");
  }

  const embedding_t& embedding_;
  pe_image_t image_;
  placement_t placement_;
  u64 resources_size_ = 0;
  u64 raw_size_ = 0;
  std::pair<u64, u64> overlay_;  // bytes after the last section (symbols), kept behind the new one
};

} // namespace

bool embed_in_pe(const embedding_t& embedding) { return pe_rewrite_t(embedding).run(); }

} // namespace orvo::publisher
