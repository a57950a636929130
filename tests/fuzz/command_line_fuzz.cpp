// libFuzzer target for the updater's command line. The first byte picks what the rest is:
//   0  the text as the parser receives it;
//   1  UTF-16LE text as Windows passes it, converted as the updater converts it;
//   2  an argument vector (NUL-separated) taken the way the Linux entry point takes it: joined
//      into one quoted line, through UTF-16 and back, parsed, and compared with the options
//      the arguments name.
#include "ovcore/strings/text_encoding.h"
#include "tools/patcher/argv_command_line.h"
#include "tools/patcher/command_line.h"
#include "tools/patcher/product_config.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace orvo;

namespace {

void parse_text(const u8* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  command_line_options_t options;
  parse_command_line(text.c_str(), options);
}

void parse_wide_text(const u8* data, size_t size) {
  std::vector<wchar16_t> units(size / 2 + 1, 0);
  for (size_t i = 0; i + 1 < size; i += 2) units[i / 2] = static_cast<wchar16_t>(data[i] | data[i + 1] << 8);
  string_dyn_t text;
  if (!utf16_to_utf8(text, units.data(), command_line_max_units)) return;
  command_line_options_t options;
  parse_command_line(text.c_str(), options);
}

struct expected_t {
  bool accepted = true;
  command_line_options_t options;
};

// What the arguments ask for: the three options, -appdir followed by an argument that is not
// an option.
expected_t expected_options(const std::vector<std::string>& arguments) {
  expected_t expected;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-notransactions") {
      expected.options.transactions_allowed = false;
    } else if (argument == "-automatic") {
      expected.options.automatic_mode = true;
    } else if (argument == "-appdir" && i + 1 < arguments.size() && arguments[i + 1][0] != '-') {
      expected.options.external_app_dir.set(arguments[++i].c_str());
    } else {
      expected.accepted = false;
      break;
    }
  }
  return expected;
}

// Options pass through unquoted, so one with a blank inside stands for several.
bool options_are_single_words(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument[0] != '-') continue;
    for (const char c : argument)
      if (std::isspace(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

void parse_arguments(const u8* data, size_t size) {
  std::vector<std::string> arguments;
  const char* text = reinterpret_cast<const char*>(data);
  for (size_t start = 0; start < size;) {
    const size_t end = std::find(text + start, text + size, '\0') - text;
    arguments.emplace_back(text + start, end - start);
    start = end + 1;
  }
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

  string_dyn_t line;
  array_dyn_t<wchar16_t> wide;
  if (!build_command_line(line, static_cast<int>(pointers.size()), pointers.data()) || !utf8_to_utf16(wide, line))
    return;
  // A line the conversion refuses is refused as a whole; one it takes must come back unchanged.
  string_dyn_t back;
  if (wide.size() > command_line_max_units || !utf16_to_utf8(back, wide.data(), command_line_max_units)) return;
  if (std::strcmp(back.c_str(), line.c_str()) != 0) std::abort();

  command_line_options_t options;
  const bool accepted = parse_command_line(back.c_str(), options);
  if (!options_are_single_words(arguments)) return;
  const expected_t expected = expected_options(arguments);
  if (accepted != expected.accepted) std::abort();
  if (accepted && (options.automatic_mode != expected.options.automatic_mode ||
                   options.transactions_allowed != expected.options.transactions_allowed ||
                   std::strcmp(options.external_app_dir.c_str(), expected.options.external_app_dir.c_str()) != 0))
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size == 0) return 0;
  switch (data[0] % 3) {
  case 0:
    parse_text(data + 1, size - 1);
    break;
  case 1:
    parse_wide_text(data + 1, size - 1);
    break;
  default:
    parse_arguments(data + 1, size - 1);
  }
  return 0;
}
