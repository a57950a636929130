#pragma once
#include <cstddef>

namespace orvo {

using block_copy_t = void (*)(void* destination, const void* source, size_t size);

// The copy routine of cached and memory files, chosen at start-up.
extern block_copy_t block_copy;

void block_copy_plain(void* destination, const void* source, size_t size);
void block_copy_sse(void* destination, const void* source, size_t size);
void select_block_copy(bool sse);

} // namespace orvo
