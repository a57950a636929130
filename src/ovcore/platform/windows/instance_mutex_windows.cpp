#include "ovcore/system/instance_mutex.h"

#include "ovcore/messages/messages.h"
#include "ovcore/strings/text_encoding.h"

#include <windows.h>

namespace orvo {

bool acquire_instance_mutex(const string& name) {
  string_dyn_t mutex_name;
  wide_buffer_t wide_name;
  if (!format_instance_mutex_name(mutex_name, name) || !utf8_to_utf16(wide_name, mutex_name)) {
    log_error("Failed to convert mutex name");
    return false;
  }
  SetLastError(0);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(wide_name.data()));
  const DWORD error = GetLastError();
  // Access denied: the mutex exists, created by a process with other rights.
  if (!mutex && error == ERROR_ACCESS_DENIED) return false;
  if (!mutex) {
    log_error("Failed to create mutex 0x%08x", static_cast<unsigned>(error));
    return true;
  }
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  return true;
}

} // namespace orvo
