#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/strings/strings.h"
#include "ovcore/ufs/file_info.h"

namespace orvo {

class file_t;

// Open modes. Other processes may read a file the system holds open, never write or delete it.
enum : u32 {
  // Read access, the file must exist; opened for sequential scanning.
  fs_open_read_only = 0,
  // Read and write access; fails when the file exists.
  fs_open_create_new = 1,
  // Read and write access; an existing file is deleted first, then created anew.
  fs_open_create_truncate = 2,
  // Read and write access; created when missing.
  fs_open_always = 3,
};

struct directory_entry_t {
  string_dyn_t name;
  u32 kind = file_kind_other;
};
using directory_list_t = array_dyn_t<directory_entry_t>;

// Maps paths onto a file system and offers the name and directory operations.
class fs_device_t {
public:
  virtual ~fs_device_t() = default;
  // Null on failure; writing modes create the missing parent directories first.
  virtual auto_ptr_t<file_t> open(const string& path, u32 mode) = 0;
  virtual bool delete_file(const string& path) = 0;
  // True when the path exists; info may be null.
  virtual bool stat_path(const string& path, file_info_t* info) = 0;
  virtual void make_full_path(mstring_t& out, const string& path) const = 0;
  // Creates every missing directory along the path ('/' separates).
  virtual bool create_directories(const string& path) = 0;
  virtual bool remove_directory(const string& path) = 0;
  virtual bool move(const string& from, const string& to, bool replace_existing) = 0;
  // Entries in platform order without ".", "..", ".svn" and entries of kind 0; names are
  // "path/name" when full_paths is set. A directory that cannot be opened lists nothing and
  // answers false.
  virtual bool list_directory(directory_list_t& out, const string& path, bool full_paths) = 0;
  // Asked before every open in a writing mode.
  virtual bool can_write(const string& path) = 0;
  virtual string root() const = 0;
};

} // namespace orvo
