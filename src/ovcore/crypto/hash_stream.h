#pragma once
#include "ovcore/progress/task_progress.h"
#include "ovcore/types.h"

namespace orvo {

class file_t;

enum : u32 {
  hash_stream_done = 0,
  hash_stream_read_failed = 1,
  hash_stream_aborted = 2,
};

// Receives the streamed bytes in file order.
class hash_sink_t {
public:
  virtual ~hash_sink_t() = default;
  virtual void update(const void* data, u32 length) = 0;
};

// Forwards to any object with update(const void*, u32).
template <typename TARGET>
class hash_sink_of_t final : public hash_sink_t {
public:
  explicit hash_sink_of_t(TARGET& target) : target_(target) {}
  void update(const void* data, u32 length) override { target_.update(data, length); }

private:
  TARGET& target_;
};

constexpr u32 hash_stream_buffer_size = 524288;

// Feeds length bytes of the file from start into the sink, reading the next chunk while the
// previous one is hashed. Reports bytes done of length; returns a hash_stream_* value. No read
// is outstanding when it returns. Without a progress record a local one is used.
u32 stream_hash_range(file_t& file, hash_sink_t& sink, u64 start, u64 length, progress_callback_t* callback,
                      task_progress_t* progress);

} // namespace orvo
