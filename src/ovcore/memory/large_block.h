#pragma once
#include "ovcore/types.h"

#include <cstddef>

namespace orvo {

// Memory for buffers of megabytes, taken from the system page by page and given back whole.
// Where the platform can, it is backed by large pages, which makes its first use much cheaper
// than touching thousands of small pages. Null when the system has no memory to give.
void* allocate_large_block(size_t size);
// Takes the size the block was allocated with; a null block is ignored.
void free_large_block(void* block, size_t size);

} // namespace orvo
