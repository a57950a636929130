#include "ovcore/memory/large_block.h"

#include <sys/mman.h>
#include <unistd.h>

namespace orvo {

namespace {

constexpr size_t large_page_size = size_t{2} << 20;

size_t whole_pages(size_t size) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return (size + page - 1) / page * page;
}

} // namespace

// Blocks of a large page or more start on a large-page boundary, so that all of them can be
// backed by large pages; the unused head and tail of the mapping are returned at once.
void* allocate_large_block(size_t size) {
  if (size == 0 || size > ~size_t{0} / 2) return nullptr;
  size = whole_pages(size);
  const size_t extra = size >= large_page_size ? large_page_size : 0;
  void* mapping = mmap(nullptr, size + extra, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) return nullptr;
  u8* start = static_cast<u8*>(mapping);
  if (extra) {
    u8* aligned = reinterpret_cast<u8*>((reinterpret_cast<uptr>(start) + extra - 1) & ~uptr{extra - 1});
    if (aligned > start) munmap(start, static_cast<size_t>(aligned - start));
    const size_t tail = static_cast<size_t>(start + size + extra - (aligned + size));
    if (tail) munmap(aligned + size, tail);
    start = aligned;
    madvise(start, size, MADV_HUGEPAGE);
  }
  return start;
}

void free_large_block(void* block, size_t size) {
  if (block) munmap(block, whole_pages(size));
}

} // namespace orvo
