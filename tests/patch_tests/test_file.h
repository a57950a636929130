#pragma once
#include "ovcore/ufs/fs_file.h"
#include "ovcore/ufs/fs_io_request.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace orvo::patch::test {

// File over a byte vector, or over bytes generated from their offset, with failures on demand.
// Deferred files move the bytes of a request only when it is waited for or released, as a slow
// disk would: a caller that touches the buffer before that reads or writes stale bytes.
class test_file_t final : public file_t {
public:
  explicit test_file_t(const char* name, std::vector<u8> bytes = {}) : file_t(name), bytes_(std::move(bytes)) {}
  // A file of the given size whose bytes generate(out, size, offset) makes up; nothing is stored.
  using generator_t = std::function<void(u8*, u32, u64)>;
  test_file_t(const char* name, u64 size, generator_t generate)
      : file_t(name), generated_size_(size), generate_(std::move(generate)) {}

  bool uses_read_cache() const override { return false; }
  fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) override {
    ++reads;
    if (reads > fail_reads_after || offset > file_size() || size > file_size() - offset) return nullptr;
    return start(fs_request_read, buffer, size, offset);
  }
  fs_io_request_t* io_write(const void* data, u32 size, u64 offset) override {
    if (writes++ >= fail_writes_after) return nullptr;
    return start(fs_request_write, const_cast<void*>(data), size, offset);
  }
  bool is_done(fs_io_request_t* request) override { return request == fs_complete_request(); }
  bool wait(fs_io_request_t* request) override {
    if (request == fs_complete_request()) return true;
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
      if (it->get() != request) continue;
      if (!fail_deferred) transfer(**it);
      pending_.erase(it);
      return !fail_deferred;
    }
    ADD_FAILURE() << "unknown request";
    return false;
  }
  void release(fs_io_request_t* request) override { wait(request); }
  bool stat(file_info_t* info) override {
    if (info) {
      info->kind = file_kind_file;
      info->size = file_size();
    }
    return true;
  }

  const std::vector<u8>& bytes() const { return bytes_; }
  size_t outstanding() const { return pending_.size(); }
  u64 file_size() const { return generate_ ? generated_size_ : bytes_.size(); }

  u64 reads = 0;
  u64 writes = 0;
  u64 fail_reads_after = ~u64{0};
  u64 fail_writes_after = ~u64{0};
  bool deferred = false;
  // Deferred requests end in failure.
  bool fail_deferred = false;

private:
  fs_io_request_t* start(u32 type, void* buffer, u32 size, u64 offset) {
    auto request = std::make_unique<fs_io_request_t>();
    request->type = type;
    request->buffer = buffer;
    request->size = size;
    request->offset = offset;
    if (!deferred) {
      transfer(*request);
      return fs_complete_request();
    }
    pending_.push_back(std::move(request));
    return pending_.back().get();
  }
  void transfer(const fs_io_request_t& request) {
    u8* buffer = static_cast<u8*>(request.buffer);
    if (request.type == fs_request_write) {
      if (bytes_.size() < request.offset + request.size) bytes_.resize(request.offset + request.size);
      if (request.size) std::memcpy(bytes_.data() + request.offset, buffer, request.size);
    } else if (generate_) {
      generate_(buffer, request.size, request.offset);
    } else if (request.size) {
      std::memcpy(buffer, bytes_.data() + request.offset, request.size);
    }
  }

  std::vector<std::unique_ptr<fs_io_request_t>> pending_;
  std::vector<u8> bytes_;
  u64 generated_size_ = 0;
  generator_t generate_;
};

} // namespace orvo::patch::test
