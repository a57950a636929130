#include "tools/publisher/signed_message.h"

#include "ovcore/messages/messages.h"
#include "patch/container_format.h"
#include "tools/publisher/file_io.h"

#include <cryptopp/cryptlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace orvo::publisher {

bool feed_signed_message(std::istream& container, u64 size, CryptoPP::HashTransformation& sink) {
  if (size < patch::container_header_size) {
    log_error("[ERR] The container is shorter than its header");
    return false;
  }
  std::vector<u8> buffer(hash_chunk_size);
  if (!read_at(container, 0, buffer.data(), patch::container_header_size)) {
    log_error("[ERR] Error while reading the container header");
    return false;
  }
  std::memset(buffer.data() + patch::header_signature_offset, 0, patch::header_signature_size);
  sink.Update(buffer.data(), patch::container_header_size);
  for (u64 position = patch::container_header_size; position < size;) {
    const size_t chunk = static_cast<size_t>(std::min<u64>(size - position, buffer.size()));
    if (!read_at(container, position, buffer.data(), chunk)) {
      log_error("[ERR] Error while reading the container at %I64u", position);
      return false;
    }
    sink.Update(buffer.data(), chunk);
    position += chunk;
  }
  return true;
}

} // namespace orvo::publisher
