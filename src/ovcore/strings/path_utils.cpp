#include "ovcore/strings/strings.h"

#include <cstring>

namespace orvo {

namespace {
bool is_separator(char c) { return c == '/' || c == '\\'; }

bool points_into(const mstring_t& s, const string& text) {
  const uptr start = reinterpret_cast<uptr>(s.c_str());
  const uptr at = reinterpret_cast<uptr>(text.c_str());
  return at >= start && at < start + s.capacity();
}
} // namespace

bool join_path(mstring_t& out, const string& first, const string& second) {
  if (points_into(out, first) || points_into(out, second)) {
    // Formatting would read the buffer it writes (and may free).
    string_dyn_t joined;
    join_path(joined, first, second);
    return out.set(joined);
  }
  const u32 n = first.length();
  if (n > 0 && is_separator(first.c_str()[n - 1])) return out.format("%s%s", first.c_str(), second.c_str());
  return out.format("%s/%s", first.c_str(), second.c_str());
}

void strip_trailing_separator(mstring_t& s) {
  const u32 n = s.length();
  if (n > 0 && is_separator(s.c_str()[n - 1])) s.buffer()[n - 1] = 0;
}

u32 find_last_separator(const string& s) {
  const char* text = s.c_str();
  u32 found = npos32;
  for (u32 i = 0; text[i]; ++i)
    if (is_separator(text[i])) found = i;
  return found;
}

void strip_extension(const string& path, mstring_t* out) {
  if (!out) return;
  const char* text = path.c_str();
  const char* dot = std::strrchr(text, '.');
  if (!dot) out->set(path);
  else out->set_from(0, path, 0, static_cast<u32>(dot - text));
}

void get_file_stem(const string& path, mstring_t* out) {
  const u32 separator = find_last_separator(path);
  strip_extension(separator == npos32 ? path : string(path.c_str() + separator + 1), out);
}

bool is_path_prefix(const string& prefix, const string& path) {
  const u32 n = prefix.length();
  if (std::strncmp(prefix.c_str(), path.c_str(), n) != 0) return false;
  const char next = path.c_str()[n];
  return next == 0 || next == '/';
}

// Written by hand: analysis shows several digests for every file of a game.
void to_hex(mstring_t& out, const u8 digest[32]) {
  static const char digits[] = "0123456789ABCDEF";
  char text[65];
  for (u32 i = 0; i < 32; ++i) {
    text[2 * i] = digits[digest[i] >> 4];
    text[2 * i + 1] = digits[digest[i] & 15];
  }
  text[64] = 0;
  out.set(text);
}

} // namespace orvo
