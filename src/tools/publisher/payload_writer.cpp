#include "tools/publisher/payload_writer.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/file_io.h"

#include <cryptopp/cryptlib.h>
#include <lzma.h>

#include <fstream>
#include <vector>

namespace orvo::publisher {

namespace {

// Reads up to `size` bytes; false on a read error. Fewer bytes only at the end of the file.
bool read_some(std::ifstream& input, const std::filesystem::path& name, u8* data, size_t size, size_t& got) {
  input.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(size));
  got = static_cast<size_t>(input.gcount());
  if (input.bad() || (!input && !input.eof())) {
    log_error("[ERR] Error while reading '%s'", path_text(name).c_str());
    return false;
  }
  return true;
}

bool emit(std::ostream& output, const u8* data, size_t size, CryptoPP::HashTransformation& digest, u64& written) {
  if (!output.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size))) {
    log_error("[ERR] Error while writing the container");
    return false;
  }
  digest.Update(data, size);
  written += size;
  return true;
}

bool check_input_size(const std::filesystem::path& input, u64 expected, u64 consumed, bool at_end) {
  if (consumed == expected && at_end) return true;
  log_error("[ERR] '%s' changed while it was packed (%I64u bytes expected)", path_text(input).c_str(), expected);
  return false;
}

bool open_input(std::ifstream& stream, const std::filesystem::path& input) {
  stream.open(input, std::ios::binary);
  if (stream) return true;
  log_error("[ERR] Unable to open '%s'", path_text(input).c_str());
  return false;
}

const char* lzma_error_text(lzma_ret code) {
  switch (code) {
  case LZMA_MEM_ERROR: return "Out of memory";
  case LZMA_OPTIONS_ERROR: return "Invalid options";
  case LZMA_UNSUPPORTED_CHECK: return "Unsupported check type";
  default: return "Encoder error";
  }
}

// Owns an xz stream encoder for one payload.
class xz_encoder_t {
public:
  ~xz_encoder_t() { lzma_end(&stream_); }
  bool start(u32 preset) {
    const lzma_ret code = lzma_easy_encoder(&stream_, preset, LZMA_CHECK_CRC64);
    if (code == LZMA_OK) return true;
    log_error("[ERR] Unable to start the xz encoder: %s (%d)", lzma_error_text(code), static_cast<int>(code));
    return false;
  }
  lzma_stream& stream() { return stream_; }

private:
  lzma_stream stream_ = LZMA_STREAM_INIT;
};

} // namespace

bool write_stored_payload(std::ostream& output, const std::filesystem::path& input, u64 input_size,
                          CryptoPP::HashTransformation& digest, u64& written) {
  written = 0;
  std::ifstream source;
  if (!open_input(source, input)) return false;
  std::vector<u8> buffer(copy_chunk_size);
  for (;;) {
    size_t got = 0;
    if (!read_some(source, input, buffer.data(), buffer.size(), got)) return false;
    if (written + got > input_size) return check_input_size(input, input_size, written + got, false);
    if (got > 0 && !emit(output, buffer.data(), got, digest, written)) return false;
    if (got < buffer.size()) return check_input_size(input, input_size, written, true);
  }
}

bool write_xz_payload(std::ostream& output, const std::filesystem::path& input, u64 input_size, u32 preset,
                      CryptoPP::HashTransformation& digest, u64& written) {
  written = 0;
  std::ifstream source;
  if (!open_input(source, input)) return false;
  xz_encoder_t encoder;
  if (!encoder.start(preset)) return false;
  std::vector<u8> in_buffer(lzma_buffer_size);
  std::vector<u8> out_buffer(lzma_buffer_size);
  lzma_stream& stream = encoder.stream();
  stream.next_out = out_buffer.data();
  stream.avail_out = out_buffer.size();
  u64 consumed = 0;
  bool input_done = false;
  for (;;) {
    if (stream.avail_in == 0 && !input_done) {
      size_t got = 0;
      if (!read_some(source, input, in_buffer.data(), in_buffer.size(), got)) return false;
      consumed += got;
      if (consumed > input_size) return check_input_size(input, input_size, consumed, false);
      input_done = got < in_buffer.size();
      if (input_done && !check_input_size(input, input_size, consumed, true)) return false;
      stream.next_in = in_buffer.data();
      stream.avail_in = got;
    }
    const lzma_ret code = lzma_code(&stream, input_done ? LZMA_FINISH : LZMA_RUN);
    if (code != LZMA_OK && code != LZMA_STREAM_END) {
      log_error("[ERR] xz encoding of '%s' failed: %s (%d)", path_text(input).c_str(), lzma_error_text(code),
                static_cast<int>(code));
      return false;
    }
    if (stream.avail_out == 0 || code == LZMA_STREAM_END) {
      if (!emit(output, out_buffer.data(), out_buffer.size() - stream.avail_out, digest, written)) return false;
      stream.next_out = out_buffer.data();
      stream.avail_out = out_buffer.size();
    }
    if (code == LZMA_STREAM_END) return true;
  }
}

} // namespace orvo::publisher
