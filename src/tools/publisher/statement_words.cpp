#include "tools/publisher/statement_words.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/file_io.h"

namespace orvo::publisher {

namespace {

bool is_blank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r'; }

} // namespace

bool split_statement(const std::string& line, statement_words_t& out, const char*& error) {
  out.clear();
  size_t i = 0;
  for (;;) {
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i == line.size() || line[i] == '#') return true;
    std::string word;
    while (i < line.size() && !is_blank(line[i])) {
      if (line[i] != '"') {
        word += line[i++];
        continue;
      }
      for (++i;; ++i) {
        if (i == line.size()) {
          error = "unterminated quote";
          return false;
        }
        if (line[i] == '"') break;
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
        word += line[i];
      }
      ++i;
    }
    out.push_back(std::move(word));
  }
}

bool parse_lines(std::istream& text, const std::string& name,
                 const std::function<void(u32 line, const std::string& text)>& parse_line) {
  std::string line;
  for (u32 number = 1; std::getline(text, line); ++number) parse_line(number, line);
  if (!text.bad()) return true;
  log_error("[ERR] Error while reading '%s'", name.c_str());
  return false;
}

bool open_statement_file(const std::filesystem::path& file, std::ifstream& out) {
  out.open(file);
  if (out) return true;
  log_error("[ERR] Unable to open '%s'", path_text(file).c_str());
  return false;
}

bool parse_version(std::string_view text, std::array<u32, 4>& out) {
  out = {};
  size_t part = 0;
  for (;;) {
    const size_t dot = text.find('.');
    if (part == 4 || !parse_number(text.substr(0, dot), out[part])) return false;
    ++part;
    if (dot == std::string_view::npos) return true;
    text.remove_prefix(dot + 1);
  }
}

} // namespace orvo::publisher
