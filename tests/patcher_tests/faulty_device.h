#pragma once
// A device in front of the native one that fails chosen operations on files whose path ends
// with a given text, as a broken disk or a locked file would.
#include "ovcore/ufs/fs_device.h"

#include <string>

namespace orvo::wizard {

enum class fault_t { none, open_for_reading, create, read, write, move, delete_file };

struct fault_plan_t {
  fault_t fault = fault_t::none;
  std::string path_suffix;
  // Operations of that kind on matching paths that succeed before the first failure.
  unsigned successes_before = 0;
};

class faulty_device_t final : public fs_device_t {
public:
  faulty_device_t(fs_device_t& real, fault_plan_t plan) : real_(real), plan_(plan) {}
  auto_ptr_t<file_t> open(const string& path, u32 mode) override;
  bool delete_file(const string& path) override;
  bool stat_path(const string& path, file_info_t* info) override { return real_.stat_path(path, info); }
  void make_full_path(mstring_t& out, const string& path) const override { real_.make_full_path(out, path); }
  bool create_directories(const string& path) override { return real_.create_directories(path); }
  bool remove_directory(const string& path) override { return real_.remove_directory(path); }
  bool move(const string& from, const string& to, bool replace_existing) override;
  bool list_directory(directory_list_t& out, const string& path, bool full_paths) override {
    return real_.list_directory(out, path, full_paths);
  }
  bool can_write(const string& path) override { return real_.can_write(path); }
  string root() const override { return real_.root(); }

  // True once, at the first operation that should fail now.
  bool fails(fault_t fault, const string& path);

private:
  fs_device_t& real_;
  fault_plan_t plan_;
  unsigned matches_ = 0;
};

} // namespace orvo::wizard
