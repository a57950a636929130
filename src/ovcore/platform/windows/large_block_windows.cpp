#include "ovcore/memory/large_block.h"

#include <windows.h>

namespace orvo {

// Large pages need a privilege the updater does not ask for: committed small pages it is.
void* allocate_large_block(size_t size) {
  if (size == 0) return nullptr;
  return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void free_large_block(void* block, size_t) {
  if (block) VirtualFree(block, 0, MEM_RELEASE);
}

} // namespace orvo
