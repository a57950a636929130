#include "patcher_tests/faulty_device.h"

#include "ovcore/ufs/fs_file.h"

namespace orvo::wizard {

namespace {

bool ends_with(const string& path, const std::string& suffix) {
  const std::string text = path.c_str();
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Forwards to the real file; completed requests of the failing kind report failure.
class faulty_file_t final : public file_t {
public:
  faulty_file_t(auto_ptr_t<file_t> real, u32 failing_type)
      : file_t(real->name()), real_(static_cast<auto_ptr_t<file_t>&&>(real)), failing_type_(failing_type) {
    set_device_type(real_->device_type());
  }
  bool uses_read_cache() const override { return real_->uses_read_cache(); }
  fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) override { return real_->io_read(buffer, size, offset); }
  fs_io_request_t* io_write(const void* data, u32 size, u64 offset) override {
    return real_->io_write(data, size, offset);
  }
  bool is_done(fs_io_request_t* request) override { return real_->is_done(request); }
  bool wait(fs_io_request_t* request) override {
    const bool failing = request->type == failing_type_;
    return real_->wait(request) && !failing;
  }
  void release(fs_io_request_t* request) override { real_->release(request); }
  void full_path(mstring_t& out) const override { real_->full_path(out); }
  bool stat(file_info_t* info) override { return real_->stat(info); }

private:
  auto_ptr_t<file_t> real_;
  u32 failing_type_;
};

} // namespace

bool faulty_device_t::fails(fault_t fault, const string& path) {
  if (fault != plan_.fault || !ends_with(path, plan_.path_suffix)) return false;
  return matches_++ == plan_.successes_before;
}

auto_ptr_t<file_t> faulty_device_t::open(const string& path, u32 mode) {
  const bool reading = mode == fs_open_read_only;
  if (fails(reading ? fault_t::open_for_reading : fault_t::create, path)) return {};
  auto_ptr_t<file_t> file = real_.open(path, mode);
  if (!file) return file;
  if (fails(fault_t::read, path)) return auto_ptr_t<file_t>(new faulty_file_t(static_cast<auto_ptr_t<file_t>&&>(file), fs_request_read));
  if (fails(fault_t::write, path)) return auto_ptr_t<file_t>(new faulty_file_t(static_cast<auto_ptr_t<file_t>&&>(file), fs_request_write));
  return file;
}

bool faulty_device_t::delete_file(const string& path) {
  return !fails(fault_t::delete_file, path) && real_.delete_file(path);
}

bool faulty_device_t::move(const string& from, const string& to, bool replace_existing) {
  return !fails(fault_t::move, to) && real_.move(from, to, replace_existing);
}

} // namespace orvo::wizard
