#include "commands.h"

#include <algorithm>
#include <cstdio>

namespace orvo::publisher {

bool parsed_arguments_t::has(const std::string& name) const {
  return std::any_of(options.begin(), options.end(), [&](const auto& option) { return option.first == name; });
}

const std::string* parsed_arguments_t::value(const std::string& name) const {
  for (const auto& option : options)
    if (option.first == name) return &option.second;
  return nullptr;
}

bool parse_arguments(const arguments_t& arguments, const std::vector<std::string>& with_value,
                     const std::vector<std::string>& flags, parsed_arguments_t& out) {
  out = parsed_arguments_t();
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word.size() < 2 || word[0] != '-') {
      out.words.push_back(word);
      continue;
    }
    const bool takes_value = std::find(with_value.begin(), with_value.end(), word) != with_value.end();
    if (!takes_value && std::find(flags.begin(), flags.end(), word) == flags.end()) {
      std::fprintf(stderr, "unknown option '%s'\n", word.c_str());
      return false;
    }
    if (out.has(word)) {
      std::fprintf(stderr, "option '%s' given twice\n", word.c_str());
      return false;
    }
    if (takes_value && i + 1 == arguments.size()) {
      std::fprintf(stderr, "option '%s' needs a value\n", word.c_str());
      return false;
    }
    out.options.emplace_back(word, takes_value ? arguments[++i] : std::string());
  }
  return true;
}

int usage_error(const char* command, const std::string& text) {
  std::fprintf(stderr, "ktlpack %s: %s\nSee 'ktlpack %s --help'.\n", command, text.c_str(), command);
  return exit_usage;
}

} // namespace orvo::publisher
