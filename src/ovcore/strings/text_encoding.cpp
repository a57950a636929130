#include "ovcore/strings/text_encoding.h"

namespace orvo {

namespace {

bool is_continuation(u8 b) { return (b & 0xC0) == 0x80; }
bool is_leading_surrogate(u32 u) { return u >= 0xD800 && u <= 0xDBFF; }
bool is_trailing_surrogate(u32 u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

bool append_utf8(mstring_t& out, u32 cp) {
  auto put = [&out](u32 byte) { return out.append_char(static_cast<char>(byte)); };
  if (cp < 0x80) return put(cp);
  if (cp < 0x800) return put(0xC0 | cp >> 6) && put(0x80 | (cp & 0x3F));
  if (cp < 0x10000) return put(0xE0 | cp >> 12) && put(0x80 | ((cp >> 6) & 0x3F)) && put(0x80 | (cp & 0x3F));
  return put(0xF0 | cp >> 18) && put(0x80 | ((cp >> 12) & 0x3F)) && put(0x80 | ((cp >> 6) & 0x3F)) &&
         put(0x80 | (cp & 0x3F));
}

u32 decode_utf8(const u8* b, u32& length) {
  constexpr u32 invalid = 0xFFFFFFFFu;
  length = 1;
  if (b[0] < 0x80) return b[0];
  // Lead byte pattern, payload bits, sequence length and the least code point of that length.
  struct form_t {
    u8 mask, pattern, bits;
    u32 count, least;
  };
  constexpr form_t forms[] = {{0xE0, 0xC0, 0x1F, 2, 0x80}, {0xF0, 0xE0, 0x0F, 3, 0x800}, {0xF8, 0xF0, 0x07, 4, 0x10000}};
  const form_t* form = nullptr;
  for (const form_t& candidate : forms)
    if ((b[0] & candidate.mask) == candidate.pattern) form = &candidate;
  if (!form) return invalid;
  u32 cp = b[0] & form->bits;
  for (u32 i = 1; i < form->count; ++i) {
    if (!is_continuation(b[i])) return invalid;
    cp = cp << 6 | (b[i] & 0x3Fu);
  }
  // An overlong form would carry NUL, '"' or '/' past checks made on the bytes.
  if (cp < form->least) return invalid;
  length = form->count;
  return cp;
}

bool utf16_to_utf8(mstring_t& out, const wchar16_t* in, u32 max_units) {
  out.clear();
  bool error = false;
  while (max_units > 0) {
    const u32 u = *in;
    if (u == 0) break;
    ++in;
    --max_units;
    if (is_trailing_surrogate(u)) {
      log_error("Standalone tailing surrogate found.");
      error = true;
    } else if (is_leading_surrogate(u)) {
      if (max_units == 0) {
        log_error("Input ends with leading surrogate.");
        return false;
      }
      const u32 t = *in;
      if (is_trailing_surrogate(t)) {
        ++in;
        --max_units;
        if (!append_utf8(out, 0x10000 + ((u - 0xD800) << 10) + (t - 0xDC00))) return false;
      } else {
        log_error("Leading surrogate without trailing one found.");
        error = true;
      }
    } else if (!append_utf8(out, u)) {
      return false;
    }
  }
  return !error;
}

bool utf8_to_utf16(array_t<wchar16_t>& out, const string& in) {
  out.resize(0);
  const u8* p = reinterpret_cast<const u8*>(in.c_str());
  if (*p == 0) return out.push(0);
  bool error = false;
  while (*p) {
    u32 length;
    const u32 cp = decode_utf8(p, length);
    p += length;
    if (cp == 0xFFFFFFFFu) {
      log_error("Encountered invalid code point.");
      error = true;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      log_error("A reserved code point value 0x%04x encountered.", cp);
      error = true;
    } else if (cp > 0x10FFFF) {
      log_error("Unexpected code point 0x%08x.", cp);
      error = true;
    } else if (cp >= 0x10000) {
      if (!out.push(0xD800 + ((cp - 0x10000) >> 10)) || !out.push(0xDC00 + (cp & 0x3FF))) return false;
    } else if (!out.push(cp)) {
      return false;
    }
  }
  if (!out.push(0)) return false;
  return !error;
}

} // namespace orvo
