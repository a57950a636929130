#include "ovcore/crypto/file_hash.h"

#include "ovcore/crypto/digest_calculator.h"
#include "ovcore/crypto/hash_stream.h"
#include "ovcore/messages/messages.h"
#include "ovcore/ufs/fs_file.h"

namespace orvo {

u32 compute_file_hash(content_hash_t& out, file_t& file, progress_callback_t* callback, task_progress_t* progress) {
  auto_ptr_t<digest_calculator_t> calculator = create_sha256_digest_calculator();
  if (!calculator) {
    log_error("[ERR] Out of memory while hashing '%s'", file.name().c_str());
    return hash_stream_read_failed;
  }
  hash_sink_of_t<digest_calculator_t> sink(*calculator);
  const u32 result = stream_hash_range(file, sink, 0, file.get_size(), callback, progress);
  if (result == hash_stream_done) calculator->finalize(out.bytes);
  return result;
}

} // namespace orvo
