#include "tools/publisher/delta_outline.h"

#include "ovcore/messages/messages.h"
#include "patch/vcdiff_format.h"
#include "tools/publisher/file_io.h"

#include <cstring>
#include <fstream>

namespace orvo::publisher {

namespace {

// Sequential reader over the delta file that remembers the first problem.
class delta_walker_t {
public:
  explicit delta_walker_t(const std::filesystem::path& path) : stream_(path, std::ios::binary) {}

  bool opened() const { return static_cast<bool>(stream_); }
  bool at_end() { return stream_.peek() == std::char_traits<char>::eof(); }
  u64 position() { return static_cast<u64>(stream_.tellg()); }

  bool byte(u8& out) {
    const int value = stream_.get();
    if (value == std::char_traits<char>::eof()) return false;
    out = static_cast<u8>(value);
    return true;
  }

  // A VCDIFF integer: base-128 digits, most significant first, at most 64 bits.
  bool integer(u64& out) {
    out = 0;
    for (int digits = 0; digits < 10; ++digits) {
      u8 value;
      if (!byte(value) || (out >> 57) != 0) return false;
      out = out << 7 | (value & 0x7F);
      if (!(value & 0x80)) return true;
    }
    return false;
  }

  bool skip(u64 count, u64 file_size) {
    const u64 here = position();
    if (count > file_size - here) return false;
    stream_.seekg(static_cast<std::streamoff>(here + count));
    return static_cast<bool>(stream_);
  }

private:
  std::ifstream stream_;
};

bool fail(const std::filesystem::path& path, const char* what) {
  log_error("[ERR] '%s': %s", path_text(path).c_str(), what);
  return false;
}

} // namespace

bool read_delta_outline(const std::filesystem::path& path, delta_outline_t& out) {
  out = delta_outline_t();
  u64 file_size = 0;
  if (!get_file_size(path, file_size)) return false;
  delta_walker_t walker(path);
  if (!walker.opened()) return fail(path, "cannot be opened");
  u8 header[5];
  for (u8& value : header)
    if (!walker.byte(value)) return fail(path, "the delta header is cut short");
  if (std::memcmp(header, patch::vcdiff_magic, sizeof patch::vcdiff_magic) != 0 || header[3] != patch::vcdiff_version)
    return fail(path, "not a VCDIFF delta of version 0");
  u8 ignored;
  if ((header[4] & patch::vcd_decompress) && !walker.byte(ignored)) return fail(path, "the delta header is cut short");
  for (u8 bit : {patch::vcd_codetable, patch::vcd_appheader}) {
    u64 length;
    if ((header[4] & bit) && (!walker.integer(length) || !walker.skip(length, file_size)))
      return fail(path, "the delta header is cut short");
  }
  while (!walker.at_end()) {
    u8 indicator;
    u64 value;
    u64 encoding_length;
    if (!walker.byte(indicator)) return fail(path, "a window header is cut short");
    if ((indicator & (patch::vcd_source | patch::vcd_target)) && (!walker.integer(value) || !walker.integer(value)))
      return fail(path, "a window header is cut short");
    if (!walker.integer(encoding_length)) return fail(path, "a window header is cut short");
    const u64 encoding_start = walker.position();
    u64 target_length;
    if (!walker.integer(target_length) || walker.position() - encoding_start > encoding_length ||
        !walker.skip(encoding_length - (walker.position() - encoding_start), file_size))
      return fail(path, "the delta is cut short inside a window");
    ++out.windows;
    out.target_size += target_length;
  }
  return true;
}

} // namespace orvo::publisher
