#include "tools/publisher/container_header.h"

#include "tools/publisher/byte_order.h"
#include "tools/publisher/container_format.h"
#include "tools/publisher/file_io.h"

#include <algorithm>
#include <cstring>

namespace orvo::publisher {

namespace {

bool all_zero(const u8* data, size_t size) {
  return std::all_of(data, data + size, [](u8 value) { return value == 0; });
}

} // namespace

container_open_result_t read_container_header(std::istream& file, u64 size, container_header_t& header) {
  if (size < format::header_size) return open_not_container;
  u8 bytes[format::header_size];
  if (!read_at(file, 0, bytes, sizeof(bytes))) return open_io_error;
  header.magic = get_u32_le(bytes + format::magic_offset);
  header.version = get_u32_le(bytes + format::version_offset);
  std::memcpy(header.fingerprint.data(), bytes + format::fingerprint_offset, format::fingerprint_size);
  header.signed_ = !all_zero(header.fingerprint.data(), header.fingerprint.size());
  header.reserved_zero = all_zero(bytes + format::reserved_offset, format::reserved_size);
  header.signature_zero = all_zero(bytes + format::signature_offset, format::signature_size);
  if (header.magic != format::magic) return open_not_container;
  if (header.version != format::container_version) return open_unsupported_version;
  return open_ok;
}

container_open_result_t check_unsigned_header(const container_header_t& header) {
  if (header.signed_) return open_ok;
  return header.reserved_zero && header.signature_zero ? open_no_signature : open_corrupted;
}

} // namespace orvo::publisher
