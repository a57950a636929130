#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/strings/strings.h"

namespace orvo {

// Buffer for one text handed to a wide-character platform call (at most 511 units and the terminator).
using wide_buffer_t = array_fixed_t<wchar16_t, 512>;

bool utf16_to_utf8(mstring_t& out, const wchar16_t* in, u32 max_units);
bool utf8_to_utf16(array_t<wchar16_t>& out, const string& in);

// Decodes one UTF-8 sequence; 0xFFFFFFFF with length 1 when invalid or overlong.
u32 decode_utf8(const u8* bytes, u32& length);
bool append_utf8(mstring_t& out, u32 code_point);

} // namespace orvo
