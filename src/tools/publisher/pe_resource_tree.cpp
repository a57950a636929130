#include "tools/publisher/pe_resource_tree.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/executable_embedding.h"
#include "tools/publisher/file_io.h"

#include <algorithm>
#include <istream>
#include <unordered_map>

namespace orvo::publisher {

namespace {

constexpr u32 directory_header_size = 16, directory_entry_size = 8, data_entry_size = 16;
constexpr u32 high_bit = 0x80000000u;
constexpr u32 max_depth = 3;
constexpr u32 max_nodes = 65536;
constexpr u64 leaf_data_alignment = 8;
constexpr u32 skipped_levels = 2;

u32 load32(const u8* bytes) { return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<u32>(bytes[3]) << 24; }

void store32(std::string& out, u64 offset, u32 value) {
  for (u32 i = 0; i < 4; ++i) out[offset + i] = static_cast<char>(value >> (8 * i));
}

void store16(std::string& out, u64 offset, u32 value) {
  out[offset] = static_cast<char>(value);
  out[offset + 1] = static_cast<char>(value >> 8);
}


bool same_name(const std::u16string& name, const char* ascii) {
  u32 i = 0;
  for (; ascii[i]; ++i) {
    if (i == name.size()) return false;
    const char16_t unit = name[i] >= u'a' && name[i] <= u'z' ? name[i] - (u'a' - u'A') : name[i];
    const char expected = ascii[i] >= 'a' && ascii[i] <= 'z' ? ascii[i] - ('a' - 'A') : ascii[i];
    if (unit != static_cast<char16_t>(expected)) return false;
  }
  return i == name.size();
}

class tree_reader_t {
public:
  tree_reader_t(std::istream& program, const pe_image_t& image, const char* const* skip_path)
      : program_(program), image_(image), skip_path_(skip_path) {}

  bool read(resource_node_t& root) {
    const u32 address = image_.directory_address(pe_directory_resource);
    if (!image_.file_offset(address, 0, base_) ) return damaged("is not in a section");
    // The tree's own structures must lie in the section that holds its root.
    for (const pe_section_t& section : image_.sections)
      if (address >= section.address && address < u64{section.address} + section.raw_size)
        limit_ = section.raw_size - (address - section.address);
    return read_directory(0, 0, 0, root);
  }

private:
  bool damaged(const char* text) {
    log_error("[ERR] PE program: resource directory %s", text);
    return false;
  }

  bool read_bytes(u64 offset, u64 size, void* out) {
    if (offset > limit_ || size > limit_ - offset) return false;
    return read_at(program_, base_ + offset, out, static_cast<size_t>(size));
  }

  // `matched`: how many levels of the skipped type and name lead to this directory.
  bool read_directory(u32 offset, u32 depth, u32 matched, resource_node_t& node) {
    u8 header[directory_header_size];
    if (depth >= max_depth) return damaged("is nested too deep");
    if (!read_bytes(offset, sizeof(header), header)) return damaged("has a directory out of bounds");
    node.characteristics = load32(header);
    node.time_stamp = load32(header + 4);
    node.version = load32(header + 8);
    const u32 count = (header[12] | header[13] << 8) + (header[14] | header[15] << 8);
    nodes_ += count;
    if (nodes_ > max_nodes) return damaged("has too many entries");
    for (u32 i = 0; i < count; ++i) {
      u8 entry[directory_entry_size];
      if (!read_bytes(u64{offset} + directory_header_size + u64{i} * directory_entry_size, sizeof(entry), entry))
        return damaged("has a directory out of bounds");
      resource_node_t& child = node.children.emplace_back();
      if (!read_key(load32(entry), child.key)) return false;
      const u32 child_matched = matched == depth && depth < skipped_levels && child.key.named &&
                                        same_name(child.key.name, skip_path_[depth])
                                    ? depth + 1
                                    : matched;
      const u32 target = load32(entry + 4);
      if (!(target & high_bit ? read_directory(target & ~high_bit, depth + 1, child_matched, child)
                              : read_leaf(target, child_matched == skipped_levels, child)))
        return false;
    }
    return true;
  }

  bool read_key(u32 field, resource_key_t& key) {
    key.named = field & high_bit;
    if (!key.named) {
      key.id = field;
      return true;
    }
    u8 length[2];
    if (!read_bytes(field & ~high_bit, 2, length)) return damaged("has a name out of bounds");
    key.name.resize(length[0] | length[1] << 8);
    if (!read_bytes(u64{field & ~high_bit} + 2, 2 * u64{key.name.size()}, key.name.data())) return damaged("has a name out of bounds");
    for (char16_t& unit : key.name) {
      const u8* bytes = reinterpret_cast<const u8*>(&unit);
      unit = static_cast<char16_t>(bytes[0] | bytes[1] << 8);
    }
    return true;
  }

  bool read_leaf(u32 offset, bool skip, resource_node_t& node) {
    u8 entry[data_entry_size];
    if (!read_bytes(offset, sizeof(entry), entry)) return damaged("has a data entry out of bounds");
    node.leaf = true;
    node.code_page = load32(entry + 8);
    if (skip) return true;
    const u32 size = load32(entry + 4);
    u64 file_offset = 0;
    if (!image_.file_offset(load32(entry), size, file_offset)) return damaged("has data outside the sections");
    node.data.resize(size);
    return read_at(program_, file_offset, node.data.data(), size) || damaged("has unreadable data");
  }

  std::istream& program_;
  const pe_image_t& image_;
  const char* const* skip_path_;
  u64 base_ = 0;
  u64 limit_ = 0;
  u32 nodes_ = 0;
};

resource_node_t& named_child(resource_node_t& node, const char* name) {
  for (resource_node_t& child : node.children)
    if (child.key.named && same_name(child.key.name, name)) return child;
  resource_node_t& child = node.children.emplace_back();
  child.key.named = true;
  child.key.name.assign(name, name + std::char_traits<char>::length(name));
  return child;
}

void mark_container(resource_node_t& node) {
  node.container = node.leaf;
  node.data.clear();
  for (resource_node_t& child : node.children) mark_container(child);
}

// Named entries first, in code unit order, then numbers in ascending order, as the loader's
// binary search expects.
void sort_tree(resource_node_t& node) {
  std::stable_sort(node.children.begin(), node.children.end(), [](const resource_node_t& a, const resource_node_t& b) {
    if (a.key.named != b.key.named) return a.key.named;
    return a.key.named ? a.key.name < b.key.name : a.key.id < b.key.id;
  });
  for (resource_node_t& child : node.children) sort_tree(child);
}

// Offsets of every part of the serialized tree, assigned in one walk per part.
class tree_writer_t {
public:
  tree_writer_t(u32 address, std::string& out) : address_(address), out_(out) {}

  bool write(resource_node_t& root, u64 container_size) {
    sort_tree(root);
    std::vector<resource_node_t*> directories{&root};
    for (size_t i = 0; i < directories.size(); ++i)
      for (resource_node_t& child : directories[i]->children)
        if (!child.leaf) directories.push_back(&child);
    u64 end = 0;
    for (resource_node_t* directory : directories) {
      targets_[directory] = high_bit | end;
      end += directory_header_size + u64{directory_entry_size} * directory->children.size();
    }
    for (resource_node_t* directory : directories)
      for (resource_node_t& child : directory->children)
        if (child.leaf) {
          targets_[&child] = end;
          leaves_.push_back(&child);
          end += data_entry_size;
        }
    const u64 data_entries = end - u64{data_entry_size} * leaves_.size();
    const u64 names = end;
    for (resource_node_t* directory : directories)
      for (resource_node_t& child : directory->children)
        if (child.key.named) end += 2 + 2 * u64{child.key.name.size()};
    std::vector<u64> data_offsets;
    for (resource_node_t* leaf : leaves_) {
      end = align_up(end, leaf_data_alignment);
      data_offsets.push_back(end);
      end += leaf->data.size();
    }
    const u64 container_offset = align_up(end, leaf_data_alignment);
    if (u64{address_} + container_offset + container_size > 0xFFFFFFFFu) {
      log_error("[ERR] PE program: resources are limited to 4 GiB of address space; the container is too large");
      return false;
    }
    out_.assign(static_cast<size_t>(container_offset), '\0');
    u64 name_offset = names;
    for (const resource_node_t* directory : directories)
      write_directory(*directory, targets_[directory] & ~high_bit, name_offset);
    for (size_t l = 0; l < leaves_.size(); ++l) {
      const u64 entry = data_entries + u64{data_entry_size} * l;
      const resource_node_t& leaf = *leaves_[l];
      store32(out_, entry, static_cast<u32>(address_ + (leaf.container ? container_offset : data_offsets[l])));
      store32(out_, entry + 4, static_cast<u32>(leaf.container ? container_size : leaf.data.size()));
      store32(out_, entry + 8, leaf.code_page);
      out_.replace(data_offsets[l], leaf.data.size(), leaf.data);
    }
    return true;
  }

private:
  void write_directory(const resource_node_t& node, u64 offset, u64& name_offset) {
    store32(out_, offset, node.characteristics);
    store32(out_, offset + 4, node.time_stamp);
    store32(out_, offset + 8, node.version);
    const auto named = std::count_if(node.children.begin(), node.children.end(), [](const resource_node_t& c) { return c.key.named; });
    store16(out_, offset + 12, static_cast<u32>(named));
    store16(out_, offset + 14, static_cast<u32>(node.children.size() - named));
    u64 entry = offset + directory_header_size;
    for (const resource_node_t& child : node.children) {
      if (child.key.named) {
        store32(out_, entry, high_bit | static_cast<u32>(name_offset));
        store16(out_, name_offset, static_cast<u32>(child.key.name.size()));
        for (size_t i = 0; i < child.key.name.size(); ++i) store16(out_, name_offset + 2 + 2 * i, child.key.name[i]);
        name_offset += 2 + 2 * u64{child.key.name.size()};
      } else {
        store32(out_, entry, child.key.id);
      }
      store32(out_, entry + 4, static_cast<u32>(targets_[&child]));
      entry += directory_entry_size;
    }
  }

  u32 address_;
  std::string& out_;
  // Per node, what its parent's entry points at: a directory's offset with the high bit, or a
  // leaf's data entry.
  std::unordered_map<const resource_node_t*, u64> targets_;
  std::vector<resource_node_t*> leaves_;
};

} // namespace

bool read_resource_tree(std::istream& program, const pe_image_t& image, const char* skip_type, const char* skip_name,
                        resource_node_t& root) {
  root = resource_node_t();
  if (image.directory_address(pe_directory_resource) == 0) return true;
  const char* const skip_path[skipped_levels] = {skip_type, skip_name};
  return tree_reader_t(program, image, skip_path).read(root);
}

void set_container_resource(resource_node_t& root, const char* type, const char* name) {
  resource_node_t& resource = named_child(named_child(root, type), name);
  if (resource.leaf || resource.children.empty()) {
    resource.leaf = false;
    resource.children.clear();
    resource_node_t& language = resource.children.emplace_back();
    language.leaf = true;
  }
  mark_container(resource);
}

bool write_resource_tree(resource_node_t& root, u32 address, u64 container_size, std::string& out) {
  return tree_writer_t(address, out).write(root, container_size);
}

} // namespace orvo::publisher
