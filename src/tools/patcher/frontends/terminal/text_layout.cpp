#include "tools/patcher/frontends/terminal/text_layout.h"

#include <cwchar>

namespace orvo::ui {

namespace {

constexpr wchar_t replacement = 0xFFFD;

// Length of the sequence a lead byte starts and the value bits it carries; zero when invalid.
u32 sequence_length(u8 lead, u32& value) {
  struct lead_t {
    u8 mask, bits;
    u32 length;
  };
  static constexpr lead_t leads[] = {{0x80, 0x00, 1}, {0xE0, 0xC0, 2}, {0xF0, 0xE0, 3}, {0xF8, 0xF0, 4}};
  for (const lead_t& l : leads)
    if ((lead & l.mask) == l.bits) {
      value = lead & static_cast<u8>(~l.mask);
      return l.length;
    }
  return 0;
}

bool is_valid_code_point(u32 value, u32 length) {
  static constexpr u32 smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  return value >= smallest[length] && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

// Decodes the character at text[i], advancing i past it.
wchar_t decode_one(const std::string& text, size_t& i) {
  u32 value = 0;
  const u32 length = sequence_length(static_cast<u8>(text[i]), value);
  if (length == 0 || i + length > text.size()) {
    ++i;
    return replacement;
  }
  for (u32 k = 1; k < length; ++k) {
    const u8 next = static_cast<u8>(text[i + k]);
    if ((next & 0xC0) != 0x80) {
      i += k;
      return replacement;
    }
    value = (value << 6) | (next & 0x3F);
  }
  i += length;
  return is_valid_code_point(value, length) ? static_cast<wchar_t>(value) : replacement;
}

i32 char_columns(wchar_t c) {
  const int width = wcwidth(c);
  return width < 0 ? 1 : width;
}

bool is_wide(wchar_t c) { return char_columns(c) > 1; }

// A word runs to the next space, or is one wide character.
size_t word_end(const std::wstring& text, size_t begin) {
  if (is_wide(text[begin])) return begin + 1;
  size_t end = begin;
  while (end < text.size() && text[end] != L' ' && !is_wide(text[end])) ++end;
  return end;
}

struct line_builder_t {
  std::vector<std::wstring>& out;
  i32 columns;
  std::wstring line;
  i32 used = 0;

  void flush() {
    out.push_back(line);
    line.clear();
    used = 0;
  }
  void put(wchar_t c) {
    const i32 width = char_columns(c);
    if (used > 0 && used + width > columns) flush();
    line.push_back(c);
    used += width;
  }
  i32 width_of(const std::wstring& text, size_t begin, size_t end) const {
    i32 width = 0;
    for (size_t k = begin; k < end; ++k) width += char_columns(text[k]);
    return width;
  }
};

void wrap_paragraph(const std::wstring& text, i32 columns, std::vector<std::wstring>& out) {
  line_builder_t builder{out, columns, {}, 0};
  for (size_t i = 0; i < text.size();) {
    if (text[i] == L' ') {
      ++i;
      continue;
    }
    const size_t end = word_end(text, i);
    const i32 gap = builder.used > 0 && i > 0 && text[i - 1] == L' ' ? 1 : 0;
    if (builder.used > 0 && builder.used + gap + builder.width_of(text, i, end) > columns) builder.flush();
    else if (gap) builder.put(L' ');
    for (size_t k = i; k < end; ++k) builder.put(text[k]);
    i = end;
  }
  builder.flush();
}

} // namespace

std::wstring to_wide(const std::string& utf8) {
  std::wstring out;
  for (size_t i = 0; i < utf8.size();) {
    const wchar_t c = decode_one(utf8, i);
    out.push_back(c != L'\n' && (c < 0x20 || c == 0x7F) ? L' ' : c);
  }
  return out;
}

i32 text_columns(const std::wstring& text) {
  i32 columns = 0;
  for (wchar_t c : text) columns += char_columns(c);
  return columns;
}

std::wstring fit_columns(const std::wstring& text, i32 columns) {
  i32 used = 0;
  size_t end = 0;
  while (end < text.size() && used + char_columns(text[end]) <= columns) used += char_columns(text[end++]);
  return text.substr(0, end);
}

std::vector<std::wstring> wrap_text(const std::wstring& text, i32 columns) {
  std::vector<std::wstring> lines;
  if (columns < 1) return lines;
  size_t begin = 0;
  for (size_t end = text.find(L'\n'); ; end = text.find(L'\n', begin)) {
    wrap_paragraph(text.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin), columns, lines);
    if (end == std::wstring::npos) break;
    begin = end + 1;
  }
  return lines;
}

} // namespace orvo::ui
