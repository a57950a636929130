#include "tools/patcher/embedded_container.h"

// Defined by the assembled container data (container_data.S.in).
extern "C" const orvo::u64 orvo_embedded_container_size;
extern "C" const unsigned char orvo_embedded_container_data[];

namespace orvo {

// The container is linked in; the module instance has no role on Linux.
embedded_container_status_t find_embedded_container(void*, embedded_container_t& out) {
  out = {};
  if (orvo_embedded_container_size == 0) return embedded_container_status_t::empty;
  out.data = orvo_embedded_container_data;
  out.size = orvo_embedded_container_size;
  return embedded_container_status_t::found;
}

} // namespace orvo
