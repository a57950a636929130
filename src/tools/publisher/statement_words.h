#pragma once
#include "ovcore/types.h"

#include <array>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::publisher {

// The lexical rules of the publisher's text files (manifests, release descriptions): one
// statement per line, words separated by blanks, "..." groups a word (with \" and \\ inside),
// '#' at the start of a word starts a comment.
using statement_words_t = std::vector<std::string>;

// False with `error` set on an unterminated quote.
bool split_statement(const std::string& line, statement_words_t& out, const char*& error);

// 1 to 4 dot-separated decimal numbers, missing ones 0.
bool parse_version(std::string_view text, std::array<u32, 4>& out);

template <typename number_t> bool parse_number(std::string_view text, number_t& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

} // namespace orvo::publisher
