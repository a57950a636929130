#pragma once
#include "ovcore/ufs/fs_device.h"

namespace orvo {

// The device over the platform's file system, through the native backend.
class fs_native_device_t final : public fs_device_t {
public:
  auto_ptr_t<file_t> open(const string& path, u32 mode) override;
  bool delete_file(const string& path) override;
  bool stat_path(const string& path, file_info_t* info) override;
  void make_full_path(mstring_t& out, const string& path) const override;
  bool create_directories(const string& path) override;
  bool remove_directory(const string& path) override;
  bool move(const string& from, const string& to, bool replace_existing) override;
  bool list_directory(directory_list_t& out, const string& path, bool full_paths) override;
  bool can_write(const string& path) override;
  string root() const override { return root_.c_str(); }

private:
  string_dyn_t root_;
};

} // namespace orvo
