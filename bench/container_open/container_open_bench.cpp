// Opening a large signed container with container_reader_t: the signature step streams every
// byte of it once.
//
// usage: container_open_bench make CONTAINER PAYLOAD PRIVATE-KEY.der
//          writes a container with one COPY diff of PAYLOAD, signed with the key
//        container_open_bench open CONTAINER PUBLIC-KEY.der
//          opens it with the key as the only key and prints the time and the result
#include "bench_runtime.h"
#include "ovcore/ufs/file_system.h"
#include "patch/container_reader.h"
#include "public_key_file.h"
#include "tools/publisher/container_writer.h"
#include "tools/publisher/rsa_keys.h"

#include <chrono>
#include <cstdio>
#include <cstring>

using namespace orvo;

namespace {

bool make_container(const char* container, const char* payload, const char* private_key) {
  CryptoPP::RSA::PrivateKey key;
  if (!publisher::load_private_key(private_key, key)) return false;
  publisher::container_writer_t writer;
  publisher::diff_input_t diff;
  diff.method = publisher::block_method_t::copy;
  diff.data = payload;
  return writer.create(container) && writer.add_diff(diff) && writer.finish(&key);
}

int open_container(const char* container, const char* public_key) {
  bench::public_key_file_t key;
  if (!key.load(public_key)) {
    std::fprintf(stderr, "cannot read %s\n", public_key);
    return 1;
  }

  auto_ptr_t<file_t> file = open_file_read(container);
  if (!file) return 1;
  const u64 size = file->get_size();
  patch::container_reader_t reader;
  const auto start = std::chrono::steady_clock::now();
  const patch::container_open_result_t result = reader.open(file, nullptr, key.keys());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("container_reader_t bytes=%llu seconds=%.6f mib_per_s=%.1f result=%s\n",
              static_cast<unsigned long long>(size), seconds, size / seconds / 1048576.0,
              patch::container_open_result_name(static_cast<u32>(result)));
  return result == patch::container_open_result_t::ok ? 0 : 1;
}

int run(int argc, char** argv) {
  const bool make = argc == 5 && std::strcmp(argv[1], "make") == 0;
  const bool open = argc == 4 && std::strcmp(argv[1], "open") == 0;
  if (!make && !open) {
    std::fprintf(stderr, "usage: %s make CONTAINER PAYLOAD PRIVATE-KEY | open CONTAINER PUBLIC-KEY\n", argv[0]);
    return 2;
  }
  return make ? (make_container(argv[2], argv[3], argv[4]) ? 0 : 1) : open_container(argv[2], argv[3]);
}

} // namespace

int main(int argc, char** argv) { return bench::run_with_runtime(argc, argv, run); }
