#pragma once
// The files below a folder with their contents, and their comparison by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace orvo::testing {

// Contents by '/'-joined relative UTF-8 path; a link is "link to TARGET".
using files_t = std::map<std::string, std::string>;

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline files_t snapshot(const std::filesystem::path& folder) {
  files_t files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::u8string relative = entry.path().lexically_relative(folder).generic_u8string();
    const std::string name(relative.begin(), relative.end());
    if (entry.is_symlink()) files[name] = "link to " + std::filesystem::read_symlink(entry.path()).generic_string();
    else if (entry.is_regular_file()) files[name] = read_file(entry.path());
  }
  return files;
}

// Names the files that differ, not their contents.
inline ::testing::AssertionResult same_files(const files_t& actual, const files_t& expected) {
  std::string differences;
  for (const auto& [name, content] : actual) {
    const auto found = expected.find(name);
    if (found == expected.end()) differences += " unexpected " + name + ";";
    else if (found->second != content) differences += " changed " + name + ";";
  }
  for (const auto& [name, content] : expected)
    if (!actual.count(name)) differences += " missing " + name + ";";
  if (differences.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "files differ:" << differences;
}

} // namespace orvo::testing
