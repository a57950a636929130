#include "ovcore/platform/environment.h"

#include "ovcore/strings/text_encoding.h"

#include <windows.h>

namespace orvo {

bool environment_variable_exists(const char* name) {
  wide_buffer_t wide_name;
  if (!utf8_to_utf16(wide_name, name)) return false;
  wchar_t probe[1];
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(wide_name.data()), probe, 1);
  return length != 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

} // namespace orvo
