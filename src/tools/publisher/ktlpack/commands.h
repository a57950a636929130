#pragma once
#include <string>
#include <vector>

namespace orvo::publisher {

using arguments_t = std::vector<std::string>;

enum : int {
  exit_success = 0,
  exit_failure = 1,
  exit_usage = 2,
};

// Each command takes the words after its name and returns the process exit code.
int run_keygen(const arguments_t& arguments);
int run_pack(const arguments_t& arguments);
int run_inspect(const arguments_t& arguments);
int run_verify(const arguments_t& arguments);
int run_diff(const arguments_t& arguments);
int run_apply(const arguments_t& arguments);
int run_release(const arguments_t& arguments);
int run_embed(const arguments_t& arguments);

extern const char* const keygen_help;
extern const char* const pack_help;
extern const char* const inspect_help;
extern const char* const verify_help;
extern const char* const diff_help;
extern const char* const apply_help;
extern const char* const release_help;
extern const char* const embed_help;

// Sorts "--name value" options and plain words; false (with a message) on an unknown option
// or a missing value. Options not listed in `with_value` are flags.
struct parsed_arguments_t {
  std::vector<std::string> words;
  std::vector<std::pair<std::string, std::string>> options;
  bool has(const std::string& name) const;
  const std::string* value(const std::string& name) const;
};
bool parse_arguments(const arguments_t& arguments, const std::vector<std::string>& with_value,
                     const std::vector<std::string>& flags, parsed_arguments_t& out);

int usage_error(const char* command, const std::string& text);

} // namespace orvo::publisher
