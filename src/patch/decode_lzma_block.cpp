#include "patch/decode_lzma_block.h"

#include "ovcore/messages/messages.h"
#include "patch/byte_buffer.h"
#include "patch/lzma_error.h"

#include <lzma.h>

namespace orvo::patch {

namespace {

constexpr u32 lzma_buffer_size = 1048576;

// One call's .xz decoder and buffers; the decoder is ended on every path.
class xz_block_run_t {
public:
  xz_block_run_t(file_t& output, file_t& container, u64 payload_size, progress_callback_t* progress)
      : output_(output), container_(container), payload_size_(payload_size), progress_(progress) {
    record_.step_count = 1;
    record_.bytes_total = payload_size;
  }
  xz_block_run_t(const xz_block_run_t&) = delete;
  xz_block_run_t& operator=(const xz_block_run_t&) = delete;
  ~xz_block_run_t() { lzma_end(&stream_); }

  extract_diff_result_t set_up();
  extract_diff_result_t run(u64 payload_offset);

private:
  bool refill_input();
  bool flush_output();
  bool report(u64 bytes_done) {
    record_.bytes_done = bytes_done;
    return report_progress(progress_, record_);
  }

  file_t& output_;
  file_t& container_;
  const u64 payload_size_;
  progress_callback_t* progress_;
  task_progress_t record_;
  lzma_stream stream_ = LZMA_STREAM_INIT;
  byte_buffer_t input_;
  byte_buffer_t output_buffer_;
  u64 consumed_ = 0;
};

extract_diff_result_t xz_block_run_t::set_up() {
  const lzma_ret code = lzma_stream_decoder(&stream_, UINT64_MAX, 0);
  if (code != LZMA_OK) return lzma_error_result(code);
  if (!input_.reserve(lzma_buffer_size) || !output_buffer_.reserve(lzma_buffer_size)) {
    log_error("[ERR] Unable to allocate compression buffers");
    return extract_diff_result_t::internal_error;
  }
  stream_.next_out = output_buffer_.data();
  stream_.avail_out = lzma_buffer_size;
  return extract_diff_result_t::ok;
}

bool xz_block_run_t::refill_input() {
  const u64 left = payload_size_ - consumed_;
  const u32 size = left < lzma_buffer_size ? static_cast<u32>(left) : lzma_buffer_size;
  if (!container_.read(input_.data(), size)) {
    log_error("[ERR] Error while reading '%s'", container_.name().c_str());
    return false;
  }
  consumed_ += size;
  stream_.next_in = input_.data();
  stream_.avail_in = size;
  return true;
}

bool xz_block_run_t::flush_output() {
  const u32 produced = lzma_buffer_size - static_cast<u32>(stream_.avail_out);
  if (produced == 0) return true;
  if (!output_.write(output_buffer_.data(), produced)) {
    log_error("[ERR] Error while writing '%s'", output_.name().c_str());
    return false;
  }
  stream_.next_out = output_buffer_.data();
  stream_.avail_out = lzma_buffer_size;
  return true;
}

extract_diff_result_t xz_block_run_t::run(u64 payload_offset) {
  if (!report(0)) return extract_diff_result_t::aborted;
  container_.set_position(payload_offset);
  for (;;) {
    if (stream_.avail_in == 0) {
      if (!report(consumed_)) return extract_diff_result_t::aborted;
      if (!refill_input()) return extract_diff_result_t::data_read_error;
    }
    const lzma_ret code = lzma_code(&stream_, consumed_ == payload_size_ ? LZMA_FINISH : LZMA_RUN);
    if (!flush_output()) return extract_diff_result_t::write_error;
    if (code == LZMA_OK) continue;
    if (code != LZMA_STREAM_END) return lzma_error_result(code);
    return report(payload_size_) ? extract_diff_result_t::ok : extract_diff_result_t::aborted;
  }
}

} // namespace

extract_diff_result_t decode_lzma_block(file_t& output, file_t& container, u64 payload_offset, u64 payload_size,
                                        const aes_key_t* key, progress_callback_t* progress) {
  if (key) {
    log_error("[ERR] Encryption is currently not supported");
    return extract_diff_result_t::internal_error;
  }
  xz_block_run_t run(output, container, payload_size, progress);
  const extract_diff_result_t result = run.set_up();
  return result == extract_diff_result_t::ok ? run.run(payload_offset) : result;
}

} // namespace orvo::patch
