// Sequential read throughput of file_t: 512 KiB requests, two in flight.
#include "bench_runtime.h"
#include "ovcore/ufs/file_system.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr orvo::u32 chunk_size = 512 * 1024;

// Reads the whole file with the next request posted before the previous one is consumed.
bool read_double_buffered(orvo::file_t& file, orvo::u64 size, orvo::u64& checksum) {
  std::vector<orvo::u8> buffers[2] = {std::vector<orvo::u8>(chunk_size), std::vector<orvo::u8>(chunk_size)};
  orvo::fs_io_request_t* pending[2] = {nullptr, nullptr};
  orvo::u64 posted = 0;
  auto post = [&](int slot) {
    const orvo::u64 left = size - posted;
    const orvo::u32 length = left < chunk_size ? static_cast<orvo::u32>(left) : chunk_size;
    pending[slot] = file.io_read(buffers[slot].data(), length, posted);
    posted += length;
    return pending[slot] != nullptr;
  };
  int slot = 0;
  if (size > 0 && !post(0)) return false;
  if (posted < size && !post(1)) return false;
  while (pending[slot]) {
    const bool ok = file.wait(pending[slot]);
    pending[slot] = nullptr;
    if (!ok) {
      if (pending[1 - slot]) file.release(pending[1 - slot]);
      return false;
    }
    // Touch one byte per page, as a consumer would.
    for (orvo::u32 i = 0; i < chunk_size; i += 4096) checksum += buffers[slot][i];
    if (posted < size && !post(slot)) return false;
    slot = 1 - slot;
  }
  return true;
}

int measure(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  int result = 1;
  {
    orvo::auto_ptr_t<orvo::file_t> file = orvo::open_file_read(argv[1]);
    if (file) {
      const orvo::u64 size = file->get_size();
      orvo::u64 checksum = 0;
      const auto start = std::chrono::steady_clock::now();
      const bool ok = read_double_buffered(*file, size, checksum);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (ok) {
        std::printf("file_t bytes=%llu seconds=%.6f mib_per_s=%.1f checksum=%llu\n",
                    static_cast<unsigned long long>(size), seconds, size / seconds / 1048576.0,
                    static_cast<unsigned long long>(checksum));
        result = 0;
      }
    }
  }
  return result;
}

} // namespace

int main(int argc, char** argv) { return orvo::bench::run_with_runtime(argc, argv, measure); }
