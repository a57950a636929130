#pragma once
#include "ovcore/types.h"

#include <string>
#include <vector>

namespace orvo::ui {

// UTF-8 to wide characters; a malformed sequence becomes U+FFFD, control characters but line
// ends become spaces.
std::wstring to_wide(const std::string& utf8);
// Terminal columns a text takes (two for East Asian wide characters).
i32 text_columns(const std::wstring& text);
// The longest head of text that fits in columns.
std::wstring fit_columns(const std::wstring& text, i32 columns);
// Lines of at most columns each: breaks at spaces and around wide characters, cuts longer words,
// keeps the text's own line ends.
std::vector<std::wstring> wrap_text(const std::wstring& text, i32 columns);

} // namespace orvo::ui
