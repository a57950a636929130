#include "tools/publisher/release_description.h"

#include "ovcore/messages/messages.h"
#include "patch/container_format.h"
#include "patch/installation_layout.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/layout_path_rules.h"
#include "tools/publisher/statement_words.h"

#include <fstream>
#include <set>

namespace orvo::publisher {

namespace {

constexpr std::string_view dlc_prefix = "dlc_";

class release_parser_t {
public:
  release_parser_t(const std::string& name, const std::filesystem::path& base_dir, release_description_t& out)
      : base_dir_(base_dir), out_(out) {
    out_ = release_description_t();
    out_.name = name;
  }

  void parse_line(u32 line, const std::string& text);
  bool finish();

private:
  void error(const std::string& text);
  bool expect_words(const statement_words_t& words, size_t count);
  std::filesystem::path directory(const std::string& text) const;
  bool check_path(const std::string& path);

  void parse_target(const statement_words_t& words);
  void parse_older(const statement_words_t& words);
  void parse_key(const statement_words_t& words);
  void parse_config(const statement_words_t& words);
  void parse_dlc(const statement_words_t& words);
  void parse_file(const statement_words_t& words);

  std::filesystem::path base_dir_;
  release_description_t& out_;
  u32 line_ = 0;
  u32 errors_ = 0;
  release_group_t* group_ = nullptr;  // the section `file` statements belong to
  std::set<std::string> labels_;
  std::set<std::string> grouped_paths_;
};

void release_parser_t::error(const std::string& text) {
  ++errors_;
  log_error("[ERR] %s(%u): %s", out_.name.c_str(), line_, text.c_str());
}

bool release_parser_t::expect_words(const statement_words_t& words, size_t count) {
  if (words.size() == count) return true;
  error("'" + words[0] + "' takes " + std::to_string(count - 1) + " arguments, " + std::to_string(words.size() - 1) +
        " given");
  return false;
}

std::filesystem::path release_parser_t::directory(const std::string& text) const {
  // On Windows a path from the root of the current drive ("/games/1.0") is taken as it stands,
  // not moved onto the description's drive.
  const std::filesystem::path path = utf8_path(text);
  return path.has_root_directory() ? path : base_dir_ / path;
}

bool release_parser_t::check_path(const std::string& path) {
  const bool folder = !path.empty() && path.back() == '/';
  if (const char* problem = layout_path_problem(folder ? path.substr(0, path.size() - 1) : path)) {
    error("path '" + path + "' " + problem);
    return false;
  }
  if (grouped_paths_.insert(path).second) return true;
  error("path '" + path + "' is given twice");
  return false;
}

void release_parser_t::parse_target(const statement_words_t& words) {
  if (!expect_words(words, 3)) return;
  if (out_.target.line) return error("a second 'target' (the first is on line " + std::to_string(out_.target.line) + ")");
  if (!parse_version(words[1], out_.version)) return error("'" + words[1] + "' is not a version (1 to 4 numbers)");
  out_.target = {line_, words[1], directory(words[2])};
  if (!labels_.insert(words[1]).second) error("label '" + words[1] + "' is given twice");
}

void release_parser_t::parse_older(const statement_words_t& words) {
  if (!expect_words(words, 3)) return;
  if (!labels_.insert(words[1]).second) return error("label '" + words[1] + "' is given twice");
  out_.older.push_back({line_, words[1], directory(words[2])});
}

void release_parser_t::parse_key(const statement_words_t& words) {
  if (!expect_words(words, 2)) return;
  if (!out_.key.empty()) return error("a second 'key'");
  out_.key = directory(words[1]);
}

void release_parser_t::parse_config(const statement_words_t& words) {
  if (!expect_words(words, 1)) return;
  if (out_.has_config) return error("a second 'config'");
  out_.has_config = true;
  out_.config = {line_, std::string(patch::game_short_name) + "_cfg", {}};
  group_ = &out_.config;
}

void release_parser_t::parse_dlc(const statement_words_t& words) {
  if (!expect_words(words, 2)) return;
  const std::string& stem = words[1];
  if (stem.compare(0, dlc_prefix.size(), dlc_prefix) != 0 || stem.size() == dlc_prefix.size())
    return error("DLC name '" + stem + "' does not start with 'dlc_' (the updater looks only for dlc_*.ktl)");
  const std::string layout = std::string(patch::game_short_name) + "." + stem;
  if (layout.size() >= patch::layo_name_size) return error("DLC name '" + stem + "' makes a layout name longer than 63 bytes");
  for (const release_group_t& dlc : out_.dlcs)
    if (dlc.layout == layout) return error("DLC '" + stem + "' is given twice");
  if (!check_path(stem + ".ktl")) return;
  out_.dlcs.push_back({line_, layout, {stem + ".ktl"}});
  group_ = &out_.dlcs.back();
}

void release_parser_t::parse_file(const statement_words_t& words) {
  if (!expect_words(words, 2)) return;
  if (!group_) return error("'file' outside a 'config' or 'dlc' section");
  if (group_ == &out_.config && words[1] == patch::configuration_archive_name)
    return error(std::string("the configuration archive ") + patch::configuration_archive_name + " belongs to the base layout");
  if (check_path(words[1])) group_->paths.push_back(words[1]);
}

void release_parser_t::parse_line(u32 line, const std::string& text) {
  line_ = line;
  statement_words_t words;
  const char* split_error = nullptr;
  if (!split_statement(text, words, split_error)) return error(split_error);
  if (words.empty()) return;
  const std::string& kind = words[0];
  if (kind == "target") return parse_target(words);
  if (kind == "older") return parse_older(words);
  if (kind == "key") return parse_key(words);
  if (kind == "config") return parse_config(words);
  if (kind == "dlc") return parse_dlc(words);
  if (kind == "file") return parse_file(words);
  error("unknown statement '" + kind + "'");
}

bool release_parser_t::finish() {
  line_ = 0;
  if (!out_.target.line) error("no 'target VERSION DIR'");
  return errors_ == 0;
}

} // namespace

bool parse_release_description(std::istream& text, const std::string& name, const std::filesystem::path& base_dir,
                               release_description_t& out) {
  release_parser_t parser(name, base_dir, out);
  return parse_lines(text, name, [&](u32 line, const std::string& words) { parser.parse_line(line, words); }) &&
         parser.finish();
}

bool load_release_description(const std::filesystem::path& file, release_description_t& out) {
  std::ifstream text;
  return open_statement_file(file, text) && parse_release_description(text, path_text(file), file.parent_path(), out);
}

} // namespace orvo::publisher
