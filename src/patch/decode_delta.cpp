#include "patch/decode_delta.h"

#include "ovcore/memory/auto_ptr.h"
#include "ovcore/messages/messages.h"
#include "patch/byte_buffer.h"
#include "patch/delta_source_cache.h"
#include "patch/vcdiff_decoder.h"

#include <new>

namespace orvo::patch {

namespace {

constexpr u32 input_chunk_size = 0x800000;

// One call's decoder, buffers and source cache; all released with it.
class delta_run_t {
public:
  delta_run_t(file_t& container, u64 delta_offset, u64 delta_length, file_t& output, progress_callback_t* callback,
              u64 expected_output_size)
      : container_(container), output_(output), callback_(callback), delta_offset_(delta_offset),
        delta_length_(delta_length), expected_output_size_(expected_output_size) {
    progress_.step_count = 1;
    progress_.bytes_total = expected_output_size;
  }
  delta_run_t(const delta_run_t&) = delete;
  delta_run_t& operator=(const delta_run_t&) = delete;
  ~delta_run_t() {
    if (pending_write_) output_.release(pending_write_);
    if (decoder_) decoder_->close();
  }

  bool set_up() {
    decoder_.reset(new (std::nothrow) vcdiff_decoder_t);
    return decoder_ && decoder_->setup();
  }
  decode_delta_result_t run(file_t* source);

private:
  decode_delta_result_t register_source(file_t& source);
  decode_delta_result_t loop();
  decode_delta_result_t handle(vcdiff_event_t event, bool& finished);
  bool feed_chunk();
  bool supply_block(u64 number);
  void read_ahead_after(u64 number);
  bool start_write(const u8* data, u32 size);
  bool finish_write();
  bool write_failed();
  bool report();

  file_t& container_;
  file_t& output_;
  progress_callback_t* callback_;
  const u64 delta_offset_;
  const u64 delta_length_;
  const u64 expected_output_size_;
  u64 delta_consumed_ = 0;
  // The previous window's output, written while the next window decodes; the output file's
  // position counts the bytes written so far.
  fs_io_request_t* pending_write_ = nullptr;
  u32 pending_write_size_ = 0;
  task_progress_t progress_;
  byte_buffer_t input_;
  auto_ptr_t<delta_source_cache_t> cache_;
  auto_ptr_t<vcdiff_decoder_t> decoder_;
};

decode_delta_result_t delta_run_t::run(file_t* source) {
  const u32 buffer_size = delta_length_ < input_chunk_size ? static_cast<u32>(delta_length_) : input_chunk_size;
  if (!input_.reserve(buffer_size)) {
    log_error("[ERR] Unable to allocate the delta input buffer");
    return decode_delta_internal_error;
  }
  if (!report()) return decode_delta_aborted;
  if (source) {
    const decode_delta_result_t result = register_source(*source);
    if (result != decode_delta_ok) return result;
  }
  if (!feed_chunk()) return decode_delta_container_read_error;
  return loop();
}

decode_delta_result_t delta_run_t::register_source(file_t& source) {
  cache_.reset(new (std::nothrow) delta_source_cache_t(source));
  if (!cache_) {
    log_error("[ERR] Error while adding source data to the stream");
    return decode_delta_internal_error;
  }
  const delta_source_cache_t::block_t* first = cache_->fetch(0);
  if (!first) return decode_delta_source_read_error;
  read_ahead_after(0);
  if (!decoder_->set_source(delta_source_cache_t::block_size, cache_->source_size(), first->bytes, first->length)) {
    log_error("[ERR] Error while adding source data to the stream");
    return decode_delta_internal_error;
  }
  return decode_delta_ok;
}

decode_delta_result_t delta_run_t::loop() {
  for (;;) {
    bool finished = false;
    const decode_delta_result_t result = handle(decoder_->decode(), finished);
    if (result != decode_delta_ok || finished) return result;
    const u64 written = output_.position();
    progress_.bytes_done = written < expected_output_size_ ? written : expected_output_size_;
    if (!report()) return decode_delta_aborted;
  }
}

decode_delta_result_t delta_run_t::handle(vcdiff_event_t event, bool& finished) {
  switch (event) {
  case vcdiff_event_input_needed:
    if (delta_consumed_ == delta_length_) {
      if (!finish_write()) return decode_delta_write_error;
      finished = true;
      progress_.bytes_done = progress_.bytes_total;
      return report() ? decode_delta_ok : decode_delta_aborted;
    }
    return feed_chunk() ? decode_delta_ok : decode_delta_container_read_error;
  case vcdiff_event_output_ready:
    if (!finish_write() || !start_write(decoder_->output(), decoder_->output_length()))
      return decode_delta_write_error;
    decoder_->consume_output();
    return decode_delta_ok;
  case vcdiff_event_block_needed:
    return supply_block(decoder_->needed_block()) ? decode_delta_ok : decode_delta_source_read_error;
  case vcdiff_event_header_decoded:
  case vcdiff_event_window_started:
  case vcdiff_event_window_finished: return decode_delta_ok;
  default:
    log_error("Unknown error %d", static_cast<int>(decoder_->error()));
    return decode_delta_corrupted;
  }
}

bool delta_run_t::feed_chunk() {
  const u64 left = delta_length_ - delta_consumed_;
  const u32 size = left < input_chunk_size ? static_cast<u32>(left) : input_chunk_size;
  if (size > 0) {
    fs_io_request_t* request = container_.io_read(input_.data(), size, delta_offset_ + delta_consumed_);
    if (!request || !container_.wait(request)) {
      log_error("[ERR] Error while reading from '%s'", container_.name().c_str());
      return false;
    }
  }
  delta_consumed_ += size;
  decoder_->offer_input(input_.data(), size, size < input_chunk_size);
  return true;
}

// Without a registered source the decoder rejects source windows and never asks for blocks.
bool delta_run_t::supply_block(u64 number) {
  ORVO_CHECK(cache_, "source block requested without a source");
  const delta_source_cache_t::block_t* block = cache_->fetch(number);
  if (!block) return false;
  decoder_->supply_block(number, block->bytes, block->length);
  read_ahead_after(number);
  return true;
}

// Windows that walk the source upwards find their next block read already.
void delta_run_t::read_ahead_after(u64 number) {
  if (number == 0 || cache_->holds(number - 1)) cache_->read_ahead(number + 1);
}

bool delta_run_t::start_write(const u8* data, u32 size) {
  pending_write_ = output_.io_write(data, size, output_.position());
  pending_write_size_ = size;
  return pending_write_ || write_failed();
}

bool delta_run_t::finish_write() {
  if (!pending_write_) return true;
  const bool written = output_.wait(pending_write_);
  pending_write_ = nullptr;
  if (!written) return write_failed();
  output_.set_position(output_.position() + pending_write_size_);
  return true;
}

bool delta_run_t::write_failed() {
  log_error("[ERR] Error while writing to '%s'", output_.name().c_str());
  return false;
}

bool delta_run_t::report() { return !callback_ || callback_->call(progress_); }

} // namespace

decode_delta_result_t decode_delta(file_t& container, u64 delta_offset, u64 delta_length, file_t* source,
                                   file_t& output, const aes_key_t* key, progress_callback_t* callback,
                                   u64 expected_output_size) {
  delta_run_t run(container, delta_offset, delta_length, output, callback, expected_output_size);
  if (!run.set_up()) {
    log_error("[ERR] Unable to initialize stream");
    return decode_delta_internal_error;
  }
  if (key) {
    log_error("[ERR] Encryption is currently not supported");
    return decode_delta_internal_error;
  }
  return run.run(source);
}

} // namespace orvo::patch
