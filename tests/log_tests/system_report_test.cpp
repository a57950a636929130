#include "common/log_capture.h"

#include "tools/patcher/system_report.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace orvo {
namespace {

TEST(windows_version_name, follows_the_table) {
  struct version_name_case_t {
    u32 platform;
    u32 major;
    u32 minor;
    bool workstation;
    const char* name;
  };
  const version_name_case_t cases[] = {
      {2, 4, 0, true, "Windows NT"},           {2, 5, 0, false, "Windows 2000"},
      {2, 5, 1, false, "Windows XP"},          {2, 5, 2, true, "Windows XP 64"},
      {2, 5, 2, false, "Windows Server 2003"}, {2, 6, 0, true, "Windows Vista"},
      {2, 6, 0, false, "Windows Server 2008"}, {2, 6, 1, true, "Windows 7"},
      {2, 6, 1, false, "Windows Server 2008 R2"}, {2, 6, 2, true, "Windows 8"},
      {2, 6, 2, false, "Windows Server 2012"}, {2, 4, 1, true, "Unknown Windows NT"},
      {2, 5, 3, true, "Unknown Windows NT"},   {2, 6, 3, false, "Unknown Windows NT"},
      {2, 10, 0, true, "Unknown Windows NT"},  {1, 4, 0, false, "Windows 95"},
      {1, 4, 10, false, "Windows 98"},         {1, 4, 90, false, "Windows Me"},
      {1, 4, 1, false, "Unknown Windows 9x"},  {1, 5, 0, false, "Unknown Windows 9x"},
      {0, 4, 0, false, "Unknown Windows platform"}, {3, 6, 1, true, "Unknown Windows platform"},
  };
  for (const version_name_case_t& c : cases)
    EXPECT_STREQ(windows_version_name(c.platform, c.major, c.minor, c.workstation), c.name)
        << c.platform << " " << c.major << "." << c.minor << " " << c.workstation;
}

TEST(os_description, joins_the_parts_that_apply) {
  struct description_case_t {
    u32 platform;
    const char* system_name;
    bool workstation;
    u32 architecture;
    const char* service_pack;
    bool starter;
    bool tablet;
    const char* expected;
  };
  const description_case_t cases[] = {
      {2, "", true, 9, "Service Pack 1", false, false, "Windows 7 x64 (version 6.1.7601) / Service Pack 1"},
      {2, "", false, 0, "", true, true,
       "Windows Server 2008 R2 x86 (version 6.1.7601) / Starter Edition / Tablet PC or Tablet input"},
      {2, "", false, 5, "", false, true, "Windows Server 2008 R2 ARM (version 6.1.7601) / Tablet PC or Tablet input"},
      {2, "", true, 6, "", false, false, "Windows 7 Itanium (version 6.1.7601)"},
      {2, "", true, 12, "", false, false, "Windows 7 Unknown (version 6.1.7601)"},
      {os_platform_other, "Linux 6.1.0-18-amd64", false, 9, "", false, false,
       "Linux 6.1.0-18-amd64 x64 (version 6.1.7601)"},
  };
  for (const description_case_t& c : cases) {
    os_version_t version;
    version.platform_id = c.platform;
    version.system_name.set(c.system_name);
    version.major = 6;
    version.minor = 1;
    version.build = 7601;
    version.workstation = c.workstation;
    version.architecture = c.architecture;
    version.service_pack.set(c.service_pack);
    version.starter_edition = c.starter;
    version.tablet_pc = c.tablet;
    string_dyn_t line;
    format_os_description(line, version);
    EXPECT_STREQ(line.c_str(), c.expected);
  }
}

TEST(memory_report, prints_whole_megabytes_in_order) {
  string_dyn_t line;
  const u64 status[4] = {8589934592ull, 1048575, 4294836224ull, 3 * 1048576 + 1048575};
  format_memory_report(line, status);
  EXPECT_STREQ(line.c_str(), "Memory Total: 8192 MB Physical: 0 MB Virtual total: 4095 MB Virtual avail: 3 MB");
}

TEST(system_report, writes_the_os_and_memory_lines) {
  orvo::testing::log_capture_t capture;
  write_system_report();
  ASSERT_EQ(capture.lines.size(), 2u);
#ifdef _WIN32
  const std::regex os_shape(R"(OS (Windows|Unknown Windows)[^()]* (x86|ARM|Itanium|x64|Unknown) \(version \d+\.\d+\.\d+\)( / .+)?)");
#else
  const std::regex os_shape(R"(OS Linux \S+ (x86|ARM|Itanium|x64|Unknown) \(version \d+\.\d+\.\d+\))");
#endif
  EXPECT_TRUE(std::regex_match(capture.lines[0], os_shape)) << capture.lines[0];
  EXPECT_EQ(capture.levels[0], message_level_info);
  EXPECT_TRUE(std::regex_match(capture.lines[1],
                               std::regex(R"(Memory Total: \d+ MB Physical: \d+ MB Virtual total: \d+ MB Virtual avail: \d+ MB)")))
      << capture.lines[1];
}

} // namespace
} // namespace orvo
