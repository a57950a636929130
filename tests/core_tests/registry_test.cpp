#include "ovcore/system/registry.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <string>

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

  std::string read_string(const std::string& value_path, bool expected) {
    string_dyn_t out;
    EXPECT_EQ(registry_read_string(out, value_path.c_str()), expected) << value_path;
    return out.c_str();
  }
  u32 read_u32(const std::string& value_path, bool expected) {
    u32 out = 0xDEADBEEF;
    EXPECT_EQ(registry_read_u32(out, value_path.c_str()), expected) << value_path;
    return out;
  }

  log_capture_t log_;
};

TEST(registry_path, value_path_splits_at_the_last_backslash) {
  string_dyn_t key, value;
  ASSERT_TRUE(registry_split_value_path("HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\InstallDir", key, value));
  EXPECT_STREQ(key.c_str(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\X");
  EXPECT_STREQ(value.c_str(), "InstallDir");
}

TEST(registry_path, value_path_without_a_usable_backslash_is_invalid) {
  log_capture_t log;
  string_dyn_t key, value;
  for (const char* path : {"InstallDir", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\", "\\InstallDir", ""}) {
    EXPECT_FALSE(registry_split_value_path(path, key, value)) << path;
    EXPECT_TRUE(log.contains(std::string("[reg] Invalid value path '") + path + "'.", message_level_error)) << path;
  }
}

TEST_F(registry_values, reads_text_as_utf8) {
  EXPECT_EQ(read_string(base + "\\InstallDir", true), install_dir_utf8);
  EXPECT_TRUE(log_.lines.empty());
}

TEST_F(registry_values, empty_text_reads_as_empty) {
  EXPECT_EQ(read_string(base + "\\Empty", true), "");
  EXPECT_EQ(read_string(base + "\\EmptyText", true), "");
}

TEST_F(registry_values, odd_sized_text_is_a_bad_string_length) {
  read_string(base + "\\Odd", false);
  EXPECT_TRUE(log_.contains("[reg] Registry value 'Odd' had bad string length.", message_level_error));
}

TEST_F(registry_values, number_read_as_text_has_the_wrong_type) {
  read_string(base + "\\Number", false);
  EXPECT_TRUE(log_.contains("[reg] Registry value 'Number' had incorrect type - expected REG_SZ.", message_level_error));
}

TEST_F(registry_values, reads_numbers) {
  EXPECT_EQ(read_u32(base + "\\Number", true), 0x960u);
  EXPECT_EQ(read_u32(base + "\\Deep\\Inner\\Decimal", true), 0xFFFFFFFFu);
}

TEST_F(registry_values, number_type_and_size_checks) {
  read_u32(base + "\\Blob", false);
  EXPECT_TRUE(log_.contains("[reg] Registry value 'Blob' had incorrect type - expected integer with size 4 bytes.",
                            message_level_error));
  read_u32(base + "\\Short", false);
  EXPECT_TRUE(log_.contains("[reg] Registry value 'Short' had incorrect size - expected integer with size 4 bytes.",
                            message_level_error));
  read_u32(base + "\\InstallDir", false);
  EXPECT_TRUE(log_.contains("[reg] Failed to get registry value 'InstallDir'.", message_level_error));
}

TEST_F(registry_values, missing_value_and_missing_key) {
  read_string(base + "\\Missing", false);
  EXPECT_TRUE(log_.contains("[reg] Failed to get registry value 'Missing'.", message_level_error));
  read_u32(base + "\\Deep\\Missing", false);
  EXPECT_TRUE(log_.contains("[reg] Failed to get registry value 'Missing'.", message_level_error));
  read_string(base + "\\Nope\\Value", false);
  EXPECT_TRUE(log_.contains("[reg] Failed to open registry sub key 'Software\\orvo_tests\\Nope'.", message_level_error));
  EXPECT_TRUE(log_.contains("[reg] Failed to open key 'Software\\orvo_tests\\Nope' under tree 'HKEY_CURRENT_USER'.",
                            message_level_error));
}

TEST_F(registry_values, root_names_are_case_sensitive) {
  read_string("hkey_current_user\\Software\\orvo_tests\\InstallDir", false);
  EXPECT_TRUE(log_.contains("[reg] Registry root key name 'hkey_current_user' from key path "
                            "'hkey_current_user\\Software\\orvo_tests' did not match any known registry root.",
                            message_level_error));
  read_u32("HKEY_CURRENT_USER\\Number", false);
  EXPECT_TRUE(log_.contains("[reg] Invalid registry key path 'HKEY_CURRENT_USER'.", message_level_error));
}

#ifndef _WIN32
TEST_F(registry_values, substitute_matches_keys_and_names_without_case) {
  EXPECT_EQ(read_string("HKEY_CURRENT_USER\\SOFTWARE\\ORVO_TESTS\\installdir", true), install_dir_utf8);
}

TEST_F(registry_values, substitute_reports_malformed_lines) {
  read_u32(base + "\\Deep\\Inner\\Decimal", true);
  EXPECT_TRUE(log_.contains("[reg] Ignoring malformed line 10 of '" + path_ + "'.", message_level_warning));
}

TEST_F(registry_values, substitute_without_a_file_has_no_keys) {
  setenv("ORVO_REGISTRY_FILE", (path_ + ".missing").c_str(), 1);
  read_u32(base + "\\Number", false);
  EXPECT_TRUE(log_.contains("[reg] Failed to open registry sub key 'Software\\orvo_tests'.", message_level_error));
}
#endif

} // namespace
} // namespace orvo
