#include "ovcore/platform/current_directory.h"

#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/strings/text_encoding.h"

#include <windows.h>

namespace orvo {

bool get_current_directory(mstring_t& out) {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return false;
  const DWORD size = needed + 2;
  array_dyn_t<wchar16_t> buffer;
  if (!buffer.resize(size)) return false;
  const DWORD length = GetCurrentDirectoryW(size, reinterpret_cast<wchar_t*>(buffer.data()));
  if (length == 0 || length >= size) return false;
  if (utf16_to_utf8(out, buffer.data(), length)) return true;
  out.clear();
  return false;
}

} // namespace orvo
