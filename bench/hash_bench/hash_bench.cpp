// Whole-file SHA-256 through compute_file_hash: prints the time, the throughput and the digest,
// the speed of the digest alone on bytes in memory, and whether Crypto++ found the processor's
// SHA extensions.
//
// usage: hash_bench FILE
#include "bench_runtime.h"
#include "ovcore/crypto/digest_calculator.h"
#include "ovcore/crypto/file_hash.h"
#include "ovcore/crypto/hash_stream.h"
#include "ovcore/ufs/file_system.h"

#include <cryptopp/cpu.h>

#include <chrono>
#include <cstdio>
#include <vector>

using namespace orvo;

namespace {

bool crypto_uses_sha_extensions() {
#if defined(__i386__) || defined(__x86_64__) || defined(_M_IX86) || defined(_M_X64)
  return CryptoPP::HasSHA();
#elif defined(__aarch64__)
  return CryptoPP::HasSHA2();
#else
  return false;
#endif
}

// SHA-256 of bytes already in memory, in the chunks the file hashing feeds: the speed of the
// hashing alone, without the file layer.
double digest_mib_per_s() {
  const std::vector<u8> chunk(hash_stream_buffer_size, 0x5A);
  auto_ptr_t<digest_calculator_t> calculator = create_sha256_digest_calculator();
  const u32 chunks = 512;
  const auto start = std::chrono::steady_clock::now();
  for (u32 i = 0; i < chunks; ++i) calculator->update(chunk.data(), static_cast<u32>(chunk.size()));
  u8 digest[32];
  calculator->finalize(digest);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return chunks * (chunk.size() / 1048576.0) / seconds;
}

int measure(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  int status = 1;
  {
    auto_ptr_t<file_t> file = open_file_read(argv[1]);
    if (file) {
      const u64 size = file->get_size();
      content_hash_t hash;
      const auto start = std::chrono::steady_clock::now();
      const u32 result = compute_file_hash(hash, *file, nullptr, nullptr);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (result == 0) {
        char hex[65];
        for (u32 i = 0; i < 32; ++i) std::snprintf(hex + 2 * i, 3, "%.2x", hash.bytes[i]);
        std::printf("compute_file_hash bytes=%llu seconds=%.6f mib_per_s=%.1f digest_only_mib_per_s=%.1f "
                    "sha_extensions=%s sha256=%s\n",
                    static_cast<unsigned long long>(size), seconds, size / seconds / 1048576.0, digest_mib_per_s(),
                    crypto_uses_sha_extensions() ? "yes" : "no", hex);
        status = 0;
      }
    }
  }
  return status;
}

} // namespace

int main(int argc, char** argv) { return bench::run_with_runtime(argc, argv, measure); }
