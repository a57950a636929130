#include "tools/publisher/manifest.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/statement_words.h"

#include <fstream>
#include <map>
#include <set>

namespace orvo::publisher {

namespace {

using tokens_t = statement_words_t;

bool is_hex_id(std::string_view text) {
  content_hash_t ignored;
  return parse_hex(text, ignored.data(), ignored.size());
}

class manifest_parser_t {
public:
  manifest_parser_t(const std::string& name, const std::filesystem::path& base_dir, manifest_t& out)
      : base_dir_(base_dir), out_(out) {
    out_ = manifest_t();
    out_.name = name;
  }

  void parse_line(u32 line, const std::string& text);
  bool finish();

private:
  void error(const std::string& text);
  bool expect_words(const tokens_t& words, size_t minimum, size_t maximum);
  // Splits the words from `first` on into name=value options; false on a malformed word.
  bool parse_options(const tokens_t& words, size_t first, std::map<std::string, std::string>& out,
                     const std::set<std::string>& allowed);
  bool parse_hash(const std::string& text, hash_ref_t& out);
  std::filesystem::path file_name(const std::string& text) const;
  bool check_name(const std::string& name, const std::set<std::string>& taken, const char* kind);

  void parse_layout(const tokens_t& words);
  void parse_file(const tokens_t& words);
  void parse_key(const tokens_t& words);
  void parse_keys(const tokens_t& words);
  void parse_diff(const tokens_t& words);
  void parse_auto_diff(const tokens_t& words, manifest_diff_t& diff);
  void parse_meta(const tokens_t& words);
  void parse_patch(const tokens_t& words);

  std::filesystem::path base_dir_;
  manifest_t& out_;
  u32 line_ = 0;
  u32 errors_ = 0;
  std::set<std::string> key_names_;
  std::set<std::string> diff_names_;
  std::vector<std::pair<u32, std::string>> key_uses_;
  std::vector<std::pair<u32, std::string>> diff_uses_;
};

void manifest_parser_t::error(const std::string& text) {
  ++errors_;
  log_error("[ERR] %s(%u): %s", out_.name.c_str(), line_, text.c_str());
}

bool manifest_parser_t::expect_words(const tokens_t& words, size_t minimum, size_t maximum) {
  if (words.size() >= minimum && words.size() <= maximum) return true;
  error("'" + words[0] + "' takes " + std::to_string(minimum - 1) +
        (maximum > minimum ? " or more" : "") + " arguments, " + std::to_string(words.size() - 1) + " given");
  return false;
}

bool manifest_parser_t::parse_options(const tokens_t& words, size_t first, std::map<std::string, std::string>& out,
                                      const std::set<std::string>& allowed) {
  for (size_t i = first; i < words.size(); ++i) {
    const size_t equals = words[i].find('=');
    const std::string name = words[i].substr(0, equals);
    if (equals == std::string::npos || !allowed.count(name)) {
      error("unexpected '" + words[i] + "'");
      return false;
    }
    if (!out.emplace(name, words[i].substr(equals + 1)).second) {
      error("option '" + name + "' given twice");
      return false;
    }
  }
  return true;
}

std::filesystem::path manifest_parser_t::file_name(const std::string& text) const {
  const std::filesystem::path path = utf8_path(text);
  return path.has_root_directory() ? path : base_dir_ / path;  // "/x" on Windows: the current drive's root
}

bool manifest_parser_t::parse_hash(const std::string& text, hash_ref_t& out) {
  out = hash_ref_t();
  if (text == "zero") return true;
  if (text == "empty") {
    out.value = empty_content_hash();
    return true;
  }
  if (text.size() > 1 && text[0] == '@') {
    out.file = file_name(text.substr(1));
    return true;
  }
  if (parse_hex(text, out.value.data(), out.value.size())) return true;
  error("'" + text + "' is not a hash (64 hex digits, zero, empty or @file)");
  return false;
}

bool manifest_parser_t::check_name(const std::string& name, const std::set<std::string>& taken, const char* kind) {
  if (name.empty() || name.find('=') != std::string::npos || is_hex_id(name)) {
    error(std::string("'") + name + "' cannot name a " + kind);
    return false;
  }
  if (taken.count(name)) {
    error(std::string(kind) + " '" + name + "' is defined twice");
    return false;
  }
  return true;
}

void manifest_parser_t::parse_line(u32 line, const std::string& text) {
  line_ = line;
  tokens_t words;
  const char* split_error = nullptr;
  if (!split_statement(text, words, split_error)) return error(split_error);
  if (words.empty()) return;
  const std::string& verb = words[0];
  if (verb == "layout") return parse_layout(words);
  if (verb == "file") return parse_file(words);
  if (verb == "key") return parse_key(words);
  if (verb == "keys") return parse_keys(words);
  if (verb == "diff") return parse_diff(words);
  if (verb == "meta") return parse_meta(words);
  if (verb == "patch") return parse_patch(words);
  error("unknown statement '" + verb + "'");
}

void manifest_parser_t::parse_layout(const tokens_t& words) {
  if (!expect_words(words, 3, 4)) return;
  manifest_layout_t layout;
  layout.line = line_;
  layout.name = words[1];
  if (!parse_version(words[2], layout.version)) return error("'" + words[2] + "' is not a version (1 to 4 numbers)");
  std::map<std::string, std::string> options;
  if (!parse_options(words, 3, options, {"match"})) return;
  if (options.count("match") && !parse_hash(options["match"], layout.match)) return;
  out_.layouts.push_back(std::move(layout));
}

void manifest_parser_t::parse_file(const tokens_t& words) {
  if (!expect_words(words, 3, 3)) return;
  if (out_.layouts.empty()) return error("'file' before any 'layout'");
  manifest_entry_t entry;
  entry.line = line_;
  entry.path = words[1];
  if (!parse_hash(words[2], entry.hash)) return;
  out_.layouts.back().entries.push_back(std::move(entry));
}

void manifest_parser_t::parse_key(const tokens_t& words) {
  if (!expect_words(words, 3, 3) || !check_name(words[1], key_names_, "key")) return;
  manifest_key_t key;
  key.line = line_;
  key.name = words[1];
  if (!parse_hex(words[2], key.key.data(), key.key.size())) return error("a key is 64 hex digits");
  key_names_.insert(key.name);
  out_.keys.push_back(std::move(key));
}

void manifest_parser_t::parse_keys(const tokens_t& words) {
  manifest_key_set_t set;
  set.line = line_;
  for (size_t i = 1; i < words.size(); ++i) {
    set.names.push_back(words[i]);
    key_uses_.emplace_back(line_, words[i]);
  }
  out_.key_sets.push_back(std::move(set));
}

bool parse_methods(std::string_view text, diff_methods_t& out) {
  out = {false, false, false};
  for (;;) {
    const size_t comma = text.find(',');
    const std::string_view name = text.substr(0, comma);
    if (name == "copy") out.copy = true;
    else if (name == "lzm2") out.lzma = true;
    else if (name == "xdlt") out.delta = true;
    else return false;
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

void manifest_parser_t::parse_auto_diff(const tokens_t& words, manifest_diff_t& diff) {
  if (!expect_words(words, 5, 8)) return;
  diff.automatic = true;
  if (words[3] != "-") diff.old_data = file_name(words[3]);
  diff.data = file_name(words[4]);
  std::map<std::string, std::string> options;
  if (!parse_options(words, 5, options, {"methods", "preset", "id"})) return;
  if (options.count("methods") && !parse_methods(options["methods"], diff.methods))
    return error("'" + options["methods"] + "' is not a list of methods (copy, lzm2, xdlt joined by ',')");
  if (!diff.methods.copy && !diff.methods.lzma && diff.old_data.empty())
    return error("without an old file only copy and lzm2 are possible");
  if (options.count("preset") && (!parse_number(options["preset"], diff.preset) || diff.preset > 9))
    return error("preset is a number from 0 to 9");
  if (options.count("id")) {
    diff.has_id = true;
    if (!parse_hex(options["id"], diff.id.data(), diff.id.size())) return error("a diff id is 64 hex digits");
  }
  diff_names_.insert(diff.name);
  out_.diffs.push_back(std::move(diff));
}

void manifest_parser_t::parse_diff(const tokens_t& words) {
  if (!expect_words(words, 4, 8) || !check_name(words[1], diff_names_, "diff")) return;
  manifest_diff_t diff;
  diff.line = line_;
  diff.name = words[1];
  if (words[2] == "auto") return parse_auto_diff(words, diff);
  std::set<std::string> allowed = {"key", "id"};
  if (words[2] == "copy") {
    diff.method = block_method_t::copy;
  } else if (words[2] == "lzm2") {
    diff.method = block_method_t::lzma;
    allowed.insert("preset");
  } else if (words[2] == "xdlt") {
    diff.method = block_method_t::delta;
    allowed.insert({"size", "target"});
  } else {
    return error("unknown method '" + words[2] + "' (copy, lzm2, xdlt or auto)");
  }
  diff.data = file_name(words[3]);
  std::map<std::string, std::string> options;
  if (!parse_options(words, 4, options, allowed)) return;
  if (options.count("preset") && (!parse_number(options["preset"], diff.preset) || diff.preset > 9))
    return error("preset is a number from 0 to 9");
  if (diff.method == block_method_t::delta) {
    if (options.count("size") == options.count("target"))
      return error("an xdlt diff needs either size=N or target=FILE");
    diff.has_output_size = options.count("size") != 0;
    if (diff.has_output_size && !parse_number(options["size"], diff.output_size))
      return error("'" + options["size"] + "' is not a size");
    if (options.count("target")) diff.target = file_name(options["target"]);
  }
  if (options.count("id")) {
    diff.has_id = true;
    if (!parse_hex(options["id"], diff.id.data(), diff.id.size())) return error("a diff id is 64 hex digits");
  }
  if (options.count("key")) {
    diff.key = options["key"];
    key_uses_.emplace_back(line_, diff.key);
  }
  diff_names_.insert(diff.name);
  out_.diffs.push_back(std::move(diff));
}

void manifest_parser_t::parse_meta(const tokens_t& words) {
  if (!expect_words(words, 3, 4)) return;
  manifest_meta_t meta;
  meta.line = line_;
  if (!parse_hex(words[1], meta.id.data(), meta.id.size())) return error("a diff id is 64 hex digits");
  if (!parse_number(words[2], meta.data_size)) return error("'" + words[2] + "' is not a size");
  std::map<std::string, std::string> options;
  if (!parse_options(words, 3, options, {"key"})) return;
  if (options.count("key")) {
    meta.key = options["key"];
    key_uses_.emplace_back(line_, meta.key);
  }
  out_.metas.push_back(std::move(meta));
}

void manifest_parser_t::parse_patch(const tokens_t& words) {
  if (!expect_words(words, 3, words.size())) return;
  manifest_patch_t patch;
  patch.line = line_;
  if (!parse_hash(words[1], patch.source) || !parse_hash(words[2], patch.target)) return;
  for (size_t i = 3; i < words.size(); ++i) {
    manifest_diff_ref_t ref;
    if (!parse_hex(words[i], ref.id.data(), ref.id.size())) {
      ref.name = words[i];
      diff_uses_.emplace_back(line_, words[i]);
    }
    patch.diffs.push_back(std::move(ref));
  }
  out_.patches.push_back(std::move(patch));
}

bool manifest_parser_t::finish() {
  for (const auto& [line, name] : key_uses_) {
    line_ = line;
    if (!key_names_.count(name)) error("unknown key '" + name + "'");
  }
  for (const auto& [line, name] : diff_uses_) {
    line_ = line;
    if (!diff_names_.count(name)) error("unknown diff '" + name + "'");
  }
  return errors_ == 0;
}

} // namespace

bool parse_manifest(std::istream& text, const std::string& name, const std::filesystem::path& base_dir,
                    manifest_t& out) {
  manifest_parser_t parser(name, base_dir, out);
  return parse_lines(text, name, [&](u32 line, const std::string& words) { parser.parse_line(line, words); }) &&
         parser.finish();
}

bool load_manifest(const std::filesystem::path& file, manifest_t& out) {
  std::ifstream text;
  return open_statement_file(file, text) && parse_manifest(text, path_text(file), file.parent_path(), out);
}

} // namespace orvo::publisher
