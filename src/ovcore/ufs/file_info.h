#pragma once
#include "ovcore/types.h"

namespace orvo {

class fs_device_t;

enum : u32 {
  file_kind_other = 0,
  file_kind_file = 1,
  file_kind_directory = 2,
};

// What a stat operation reports about a path or an open file.
struct file_info_t {
  u32 kind = file_kind_other;
  // Last write time in 100-ns intervals since 1601-01-01 UTC; 0 for memory files.
  u64 modification_time = 0;
  u64 size = 0;
  // The device that answered a path stat.
  fs_device_t* device = nullptr;
};

// A file system object's identity: equal for every name that reaches the same object.
struct fs_identity_t {
  u64 volume = 0;
  u64 object = 0;

  bool operator==(const fs_identity_t& other) const = default;
};

} // namespace orvo
