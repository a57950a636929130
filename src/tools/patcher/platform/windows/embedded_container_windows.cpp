#include "tools/patcher/embedded_container.h"

#include <windows.h>

namespace orvo {

embedded_container_status_t find_embedded_container(void* module_instance, embedded_container_t& out) {
  using enum embedded_container_status_t;
  const HMODULE module = static_cast<HMODULE>(module_instance);
  const HRSRC resource = FindResourceW(module, L"PATCH", L"KTLC");
  if (!resource) return not_found;
  const HGLOBAL loaded = LoadResource(module, resource);
  if (!loaded) return load_failed;
  const void* data = LockResource(loaded);
  if (!data) return lock_failed;
  const DWORD size = SizeofResource(module, resource);
  if (size == 0) return empty;
  out.data = data;
  out.size = size;
  return found;
}

} // namespace orvo
