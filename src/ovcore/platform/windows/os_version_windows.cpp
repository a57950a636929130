#include "ovcore/platform/os_version.h"

#include "ovcore/strings/text_encoding.h"

#include <windows.h>

namespace orvo {

namespace {

// The extended record first; systems that refuse it get the basic one.
bool read_version(OSVERSIONINFOEXW& info, bool& extended) {
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
  extended = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != 0;
  if (extended) return true;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
  return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != 0;
}

} // namespace

bool query_os_version(os_version_t& out) {
  OSVERSIONINFOEXW info;
  bool extended = false;
  if (!read_version(info, extended)) return false;
  out = os_version_t();
  out.platform_id = info.dwPlatformId;
  out.major = info.dwMajorVersion;
  out.minor = info.dwMinorVersion;
  out.build = info.dwBuildNumber;
  out.workstation = extended && info.wProductType == VER_NT_WORKSTATION;
  if (!utf16_to_utf8(out.service_pack, reinterpret_cast<const wchar16_t*>(info.szCSDVersion), 128))
    out.service_pack.clear();
  out.starter_edition = GetSystemMetrics(SM_STARTER) != 0;
  out.tablet_pc = GetSystemMetrics(SM_TABLETPC) != 0;
  SYSTEM_INFO system;
  GetNativeSystemInfo(&system);
  out.architecture = system.wProcessorArchitecture;
  return true;
}

} // namespace orvo
