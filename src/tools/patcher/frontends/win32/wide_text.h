#pragma once
#include "ovcore/strings/text_encoding.h"

namespace orvo {

// A UTF-8 text converted for a wide-character call, of any length.
class wide_text_t {
public:
  explicit wide_text_t(const string& text) : valid_(utf8_to_utf16(units_, text)) {}
  wide_text_t(const wide_text_t&) = delete;
  wide_text_t& operator=(const wide_text_t&) = delete;

  // Null when the text could not be converted.
  const wchar_t* get() const { return valid_ ? reinterpret_cast<const wchar_t*>(units_.data()) : nullptr; }

private:
  array_dyn_t<wchar16_t> units_;
  bool valid_;
};

} // namespace orvo
