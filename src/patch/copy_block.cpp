#include "patch/copy_block.h"

#include "ovcore/messages/messages.h"
#include "patch/byte_buffer.h"

namespace orvo::patch {

namespace {

constexpr u32 copy_chunk_size = 65536;

bool read_chunk(file_t& container, u8* buffer, u32 size, u64 offset) {
  fs_io_request_t* request = container.io_read(buffer, size, offset);
  if (request && container.wait(request)) return true;
  log_error("[ERR] Error while reading from '%s'", container.name().c_str());
  return false;
}

bool write_chunk(file_t& output, const u8* buffer, u32 size, u64 offset) {
  fs_io_request_t* request = output.io_write(buffer, size, offset);
  if (request && output.wait(request)) return true;
  log_error("[ERR] Error while writing to '%s'", output.name().c_str());
  return false;
}

} // namespace

extract_diff_result_t copy_block(file_t& output, file_t& container, u64 payload_offset, u64 payload_size,
                                 progress_callback_t* progress) {
  task_progress_t record;
  record.step_count = 1;
  record.bytes_total = payload_size;
  if (!report_progress(progress, record)) return extract_diff_result_t::aborted;

  byte_buffer_t buffer;
  if (payload_size > 0 && !buffer.reserve(copy_chunk_size)) {
    log_error("[ERR] Unable to allocate the copy buffer");
    return extract_diff_result_t::internal_error;
  }
  for (u64 done = 0; done < payload_size;) {
    const u64 left = payload_size - done;
    const u32 chunk = left < copy_chunk_size ? static_cast<u32>(left) : copy_chunk_size;
    if (!read_chunk(container, buffer.data(), chunk, payload_offset + done))
      return extract_diff_result_t::container_read_error;
    if (!write_chunk(output, buffer.data(), chunk, done)) return extract_diff_result_t::write_error;
    done += chunk;
    record.bytes_done = done;
    if (!report_progress(progress, record)) return extract_diff_result_t::aborted;
  }
  record.bytes_done = payload_size;
  return report_progress(progress, record) ? extract_diff_result_t::ok : extract_diff_result_t::aborted;
}

} // namespace orvo::patch
