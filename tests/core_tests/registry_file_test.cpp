// The Linux registry substitute file's value lines, parsed one at a time.
#ifndef _WIN32
#include "ovcore/platform/linux/registry_file_linux.h"
#include "ovcore/system/registry_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvo::platform {
namespace {

TEST(registry_file, value_lines) {
  struct case_t {
    const char* line;
    bool valid;
    u32 type;
    std::vector<u8> data;
  };
  const case_t cases[] = {
      {"HKEY_USERS\\k\\v = sz:A\xc3\xa9\r\n", true, registry_type_sz, {'A', 0, 0xE9, 0, 0, 0}},
      {"HKEY_USERS\\k\\v = dword:4294967295", true, registry_type_dword, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"HKEY_USERS\\k\\v = dword:0X0a0B", true, registry_type_dword, {0x0B, 0x0A, 0, 0}},
      {"HKEY_USERS\\k\\v = binary:01 ab,FF", true, registry_type_binary, {0x01, 0xAB, 0xFF}},
      {"HKEY_USERS\\k\\v = hex(4294967295):7f", true, 0xFFFFFFFF, {0x7F}},
      {"HKEY_USERS\\v = hex(0):", true, 0, {}},
      {"HKEY_USERS\\k\\v = dword:4294967296", false, 0, {}},
      {"HKEY_USERS\\k\\v = dword:0x0x5", false, 0, {}},
      {"HKEY_USERS\\k\\v = dword:-1", false, 0, {}},
      {"HKEY_USERS\\k\\v = dword:0x", false, 0, {}},
      {"HKEY_USERS\\k\\v = hex(4294967297):00", false, 0, {}},
      {"HKEY_USERS\\k\\v = hex(-1):00", false, 0, {}},
      {"HKEY_USERS\\k\\v = hex( 7):00", false, 0, {}},
      {"HKEY_USERS\\k\\v = hex(7)00", false, 0, {}},
      {"HKEY_USERS\\k\\v = binary:0", false, 0, {}},
      {"HKEY_USERS\\k\\v = sz:\xc0\xa2", false, 0, {}},
      {"HKEY_USERS\\k\\ = sz:x", false, 0, {}},
      {"\\k\\v = sz:x", false, 0, {}},
      {"HKEY_USERS = sz:x", false, 0, {}},
      {"HKEY_USERS\\k\\v sz:x", false, 0, {}},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.line);
    std::string line = c.line;
    registry_entry_t entry;
    ASSERT_EQ(parse_registry_line(line.data(), entry), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(entry.type, c.type);
    EXPECT_EQ(std::vector<u8>(entry.data.begin(), entry.data.end()), c.data);
  }
}

} // namespace
} // namespace orvo::platform
#endif
