#include "support/scripted_file.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace orvo::test {

scripted_file_t::scripted_file_t(std::vector<u8> bytes, const char* name) : file_t(name), bytes_(std::move(bytes)) {}

scripted_file_t::~scripted_file_t() {
  // Destroying a file with a read in flight is a fault of its user.
  if (outstanding_) std::abort();
}

fs_io_request_t* scripted_file_t::io_read(void* buffer, u32 size, u64 offset) {
  if (offset > bytes_.size() || size > bytes_.size() - offset) return nullptr;
  auto* request = new fs_io_request_t;
  request->type = fs_request_read;
  request->buffer = buffer;
  request->size = size;
  request->offset = offset;
  reads_.push_back({offset, size});
  if (++outstanding_ > max_outstanding_) max_outstanding_ = outstanding_;
  return request;
}

bool scripted_file_t::complete(fs_io_request_t* request) {
  const bool fails = fail_offset_ >= request->offset && fail_offset_ - request->offset < request->size;
  if (!fails) std::memcpy(request->buffer, bytes_.data() + request->offset, request->size);
  --outstanding_;
  delete request;
  return !fails;
}

bool scripted_file_t::wait(fs_io_request_t* request) { return complete(request); }

void scripted_file_t::release(fs_io_request_t* request) {
  ++released_;
  complete(request);
}

bool scripted_file_t::stat(file_info_t* info) {
  if (info) {
    info->kind = file_kind_file;
    info->size = bytes_.size();
    info->modification_time = 0;
  }
  return true;
}

u64 scripted_file_t::bytes_read_from(u64 offset) const {
  u64 total = 0;
  for (const read_t& read : reads_)
    if (read.offset + read.size > offset) total += read.offset + read.size - (read.offset > offset ? read.offset : offset);
  return total;
}

} // namespace orvo::test
