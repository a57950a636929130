#include "ovcore/crypto/hash_stream.h"

#include "ovcore/messages/messages.h"
#include "ovcore/ufs/fs_file.h"

#include <new>

namespace orvo {

namespace {

// Two read buffers used in turn, no larger than the range needs: a small file costs no large
// allocation.
class stream_buffers_t {
public:
  explicit stream_buffers_t(u64 length)
      : buffers_{new (std::nothrow) u8[buffer_size(length)], new (std::nothrow) u8[buffer_size(length)]} {}
  ~stream_buffers_t() {
    delete[] buffers_[0];
    delete[] buffers_[1];
  }
  stream_buffers_t(const stream_buffers_t&) = delete;
  stream_buffers_t& operator=(const stream_buffers_t&) = delete;

  bool allocated() const { return buffers_[0] && buffers_[1]; }
  u8* current() const { return buffers_[current_]; }
  u8* switch_buffer() {
    current_ ^= 1;
    return buffers_[current_];
  }

private:
  static u32 buffer_size(u64 length) {
    return length < hash_stream_buffer_size ? static_cast<u32>(length) + 1 : hash_stream_buffer_size;
  }

  u8* buffers_[2];
  u32 current_ = 0;
};

u32 read_failed(file_t& file) {
  log_error("[ERR] Error while reading '%s'", file.name().c_str());
  return hash_stream_read_failed;
}

} // namespace

u32 stream_hash_range(file_t& file, hash_sink_t& sink, u64 start, u64 length, progress_callback_t* callback,
                      task_progress_t* progress) {
  task_progress_t local_progress;
  task_progress_t& report = progress ? *progress : local_progress;
  report.bytes_total = length;
  report.bytes_done = 0;
  if (!report_progress(callback, report)) return hash_stream_aborted;

  stream_buffers_t buffers(length);
  if (!buffers.allocated()) {
    log_error("[ERR] Out of memory while reading '%s'", file.name().c_str());
    return hash_stream_read_failed;
  }
  if (length > ~u64(0) - start) return read_failed(file);

  u64 position = start;
  const u64 end = start + length;
  fs_io_request_t* pending = nullptr;
  u32 pending_size = 0;
  while (position < end) {
    const u8* previous = buffers.current();
    const u32 previous_size = pending_size;
    if (pending) {
      const bool read = file.wait(pending);
      pending = nullptr;
      if (!read) return read_failed(file);
      position += previous_size;
    }
    pending_size = 0;
    if (position < end) {
      const u64 remaining = end - position;
      pending_size = remaining < hash_stream_buffer_size ? static_cast<u32>(remaining) : hash_stream_buffer_size;
      pending = file.io_read(buffers.switch_buffer(), pending_size, position);
      if (!pending) return read_failed(file);
    }
    if (previous_size) sink.update(previous, previous_size);
    const u64 done = position - start;
    report.bytes_done = done < length ? done : length;
    if (!report_progress(callback, report)) {
      if (pending) file.release(pending);
      return hash_stream_aborted;
    }
  }
  report.bytes_done = length;
  if (!report_progress(callback, report)) return hash_stream_aborted;
  return hash_stream_done;
}

} // namespace orvo
