#pragma once
#include "tools/publisher/pe_image.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace orvo::publisher {

// A resource directory entry's key: a number, or a UTF-16 name.
struct resource_key_t {
  bool named = false;
  u32 id = 0;
  std::u16string name;
};

// A node of the resource tree (type, name, language): a directory with children, or a leaf with
// its data. Leaves marked `container` take the container's bytes when the tree is written.
struct resource_node_t {
  resource_key_t key;
  bool leaf = false;
  u32 characteristics = 0, time_stamp = 0, version = 0;  // of a directory
  std::vector<resource_node_t> children;
  std::string data;
  u32 code_page = 0;
  bool container = false;
};

// Reads the tree the resource directory points to; the data of leaves under the named type and
// name to skip is not read (it is about to be replaced). False (logged) when the tree is damaged.
bool read_resource_tree(std::istream& program, const pe_image_t& image, const char* skip_type, const char* skip_name,
                        resource_node_t& root);

// Makes type/name (both named) hold the container: every language under it, or language 0 when
// there is none yet.
void set_container_resource(resource_node_t& root, const char* type, const char* name);

// The serialized tree for a section at `address`: directories, data entries, names and the kept
// data, then the container's `container_size` bytes, which the caller appends. False when the
// tree would reach 4 GiB.
bool write_resource_tree(resource_node_t& root, u32 address, u64 container_size, std::string& out);

} // namespace orvo::publisher
