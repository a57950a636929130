#include "ovcore/platform/creation_probe.h"

#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/strings/text_encoding.h"

#include <windows.h>

namespace orvo {

creation_probe_t probe_file_creation(const string& directory, const string& name, u32& error) {
  string_dyn_t path;
  array_dyn_t<wchar16_t> wide_path;
  if (!path.format("%s\\%s", directory.c_str(), name.c_str()) || !utf8_to_utf16(wide_path, path)) {
    error = ERROR_INVALID_NAME;
    return creation_probe_t::failed;
  }
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(wide_path.data());
  DeleteFileW(wide);
  constexpr DWORD all_standard_rights = DELETE | READ_CONTROL | WRITE_DAC | WRITE_OWNER | SYNCHRONIZE;
  HANDLE file = CreateFileW(wide, all_standard_rights, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return error == ERROR_ACCESS_DENIED ? creation_probe_t::access_denied : creation_probe_t::failed;
  }
  CloseHandle(file);
  DeleteFileW(wide);
  error = 0;
  return creation_probe_t::created;
}

} // namespace orvo
