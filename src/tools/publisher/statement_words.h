#pragma once
#include "ovcore/types.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
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

// Hands every line of the text to parse_line with its number (from 1); false (logged under
// `name`) on a read error.
bool parse_lines(std::istream& text, const std::string& name,
                 const std::function<void(u32 line, const std::string& text)>& parse_line);

// Opens a statement file for reading; false (logged) when it cannot be opened.
bool open_statement_file(const std::filesystem::path& file, std::ifstream& out);

// 1 to 4 dot-separated decimal numbers, missing ones 0.
bool parse_version(std::string_view text, std::array<u32, 4>& out);

template <typename number_t> bool parse_number(std::string_view text, number_t& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

} // namespace orvo::publisher
