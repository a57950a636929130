#include "ovcore/system/registry.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#endif

namespace orvo {
namespace {

using testing::log_capture_t;

const std::string base = "HKEY_CURRENT_USER\\Software\\orvo_tests";
const std::string install_dir_utf8 = "C:\\Games\\Velmora \xc3\xbc";

// Test values under HKEY_CURRENT_USER\Software\orvo_tests, removed afterwards.
class registry_values : public ::testing::Test {
protected:
#ifdef _WIN32
  void SetUp() override {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\orvo_tests", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const wchar_t install_dir[] = L"C:\\Games\\Velmora \u00fc";
    const wchar_t empty_text[] = L"";
    const unsigned char odd[] = {0x41, 0x00, 0x42, 0x00, 0x43};
    const DWORD number = 0x960;
    const unsigned char short_number[] = {0x01, 0x02};
    const unsigned char blob[] = {0x01, 0x02, 0x03};
    set(key, L"InstallDir", REG_SZ, install_dir, sizeof(install_dir));
    set(key, L"Empty", REG_SZ, nullptr, 0);
    set(key, L"EmptyText", REG_SZ, empty_text, sizeof(empty_text));
    set(key, L"Odd", REG_SZ, odd, sizeof(odd));
    set(key, L"Number", REG_DWORD, &number, sizeof(number));
    set(key, L"Short", REG_DWORD, short_number, sizeof(short_number));
    set(key, L"Blob", REG_BINARY, blob, sizeof(blob));
    HKEY inner = nullptr;
    ASSERT_EQ(RegCreateKeyExW(key, L"Deep\\Inner", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &inner, nullptr),
              ERROR_SUCCESS);
    const DWORD largest = 0xFFFFFFFF;
    set(inner, L"Decimal", REG_DWORD, &largest, sizeof(largest));
    RegCloseKey(inner);
    RegCloseKey(key);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\orvo_tests"); }
  static void set(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  }
#else
  void SetUp() override {
    path_ = ::testing::TempDir() + "orvo_registry_" + std::to_string(getpid()) + ".txt";
    std::FILE* file = std::fopen(path_.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("# values of the registry tests\n"
               "HKEY_CURRENT_USER\\Software\\orvo_tests\\InstallDir = sz:C:\\Games\\Velmora \xc3\xbc\n"
               "HKEY_CURRENT_USER\\Software\\orvo_tests\\Empty = hex(1):\n"
               "HKEY_CURRENT_USER\\Software\\orvo_tests\\EmptyText = sz:\n"
               "HKEY_CURRENT_USER\\Software\\orvo_tests\\Odd = hex(1):41 00 42 00 43\n"
               "\n"
               "HKEY_CURRENT_USER\\Software\\orvo_tests\\Number = dword:0x960\n"
               "HKEY_CURRENT_USER\\Software\\orvo_tests\\Short = hex(4):01,02\n"
               "HKEY_CURRENT_USER\\Software\\orvo_tests\\Blob = binary:01 02 03\n"
               "this line is not a value\n"
               "HKEY_CURRENT_USER\\Software\\orvo_tests\\Deep\\Inner\\Decimal = dword:4294967295\n",
               file);
    std::fclose(file);
    setenv("ORVO_REGISTRY_FILE", path_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("ORVO_REGISTRY_FILE");
    std::remove(path_.c_str());
  }
  std::string path_;
#endif

  log_capture_t log_;
};

TEST(registry_path, value_path_splits_at_the_last_backslash) {
  string_dyn_t key, value;
  ASSERT_TRUE(registry_split_value_path("HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\InstallDir", key, value));
  EXPECT_STREQ(key.c_str(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\X");
  EXPECT_STREQ(value.c_str(), "InstallDir");
  log_capture_t log;
  for (const char* path : {"InstallDir", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\", "\\InstallDir", ""}) {
    EXPECT_FALSE(registry_split_value_path(path, key, value)) << path;
    EXPECT_TRUE(log.contains(std::string("[reg] Invalid value path '") + path + "'.", message_level_error)) << path;
  }
}

TEST_F(registry_values, reads_text_and_numbers_and_names_what_failed) {
  struct read_case_t {
    std::string path;
    bool number;  // else text
    bool read;
    std::string text;
    u32 value;
    std::vector<std::string> errors;
  };
  const std::string failed_value = "[reg] Failed to get registry value ";
  const std::string integer = " - expected integer with size 4 bytes.";
  const read_case_t cases[] = {
      {base + "\\InstallDir", false, true, install_dir_utf8, 0, {}},
      {base + "\\Empty", false, true, "", 0, {}},
      {base + "\\EmptyText", false, true, "", 0, {}},
      {base + "\\Number", true, true, "", 0x960, {}},
      {base + "\\Deep\\Inner\\Decimal", true, true, "", 0xFFFFFFFF, {}},
      {base + "\\Odd", false, false, "", 0, {"[reg] Registry value 'Odd' had bad string length."}},
      {base + "\\Number", false, false, "", 0, {"[reg] Registry value 'Number' had incorrect type - expected REG_SZ."}},
      {base + "\\Blob", true, false, "", 0, {"[reg] Registry value 'Blob' had incorrect type" + integer}},
      {base + "\\Short", true, false, "", 0, {"[reg] Registry value 'Short' had incorrect size" + integer}},
      {base + "\\InstallDir", true, false, "", 0, {failed_value + "'InstallDir'."}},
      {base + "\\Missing", false, false, "", 0, {failed_value + "'Missing'."}},
      {base + "\\Deep\\Missing", true, false, "", 0, {failed_value + "'Missing'."}},
      {base + "\\Nope\\Value", false, false, "", 0,
       {"[reg] Failed to open registry sub key 'Software\\orvo_tests\\Nope'.",
        "[reg] Failed to open key 'Software\\orvo_tests\\Nope' under tree 'HKEY_CURRENT_USER'."}},
      // Root names are case-sensitive.
      {"hkey_current_user\\Software\\orvo_tests\\InstallDir", false, false, "", 0,
       {"[reg] Registry root key name 'hkey_current_user' from key path 'hkey_current_user\\Software\\orvo_tests' did "
        "not match any known registry root."}},
      {"HKEY_CURRENT_USER\\Number", true, false, "", 0, {"[reg] Invalid registry key path 'HKEY_CURRENT_USER'."}},
  };
  for (const read_case_t& c : cases) {
    SCOPED_TRACE(c.path);
    log_capture_t log;
    string_dyn_t text;
    u32 value = 0;
    EXPECT_EQ(c.number ? registry_read_u32(value, c.path.c_str()) : registry_read_string(text, c.path.c_str()), c.read);
    EXPECT_EQ(std::string(text.c_str()), c.text);
    EXPECT_EQ(value, c.value);
    for (const std::string& error : c.errors) EXPECT_TRUE(log.contains(error, message_level_error)) << error;
    if (c.errors.empty()) {
      EXPECT_EQ(std::count(log.levels.begin(), log.levels.end(), message_level_error), 0);
    }
  }
}

#ifndef _WIN32
TEST_F(registry_values, substitute_file_matches_without_case_and_reports_malformed_lines) {
  u32 value = 0;
  EXPECT_TRUE(registry_read_u32(value, "HKEY_CURRENT_USER\\SOFTWARE\\ORVO_TESTS\\DEEP\\Inner\\decimal"));
  EXPECT_EQ(value, 0xFFFFFFFFu);
  EXPECT_TRUE(log_.contains("[reg] Ignoring malformed line 10 of '" + path_ + "'.", message_level_warning));

  setenv("ORVO_REGISTRY_FILE", (path_ + ".missing").c_str(), 1);
  EXPECT_FALSE(registry_read_u32(value, (base + "\\Number").c_str()));
  EXPECT_TRUE(log_.contains("[reg] Failed to open registry sub key 'Software\\orvo_tests'.", message_level_error));
}
#endif

} // namespace
} // namespace orvo
