// Opens fuzzed bytes as a container from memory. The first byte picks the mode: even opens the
// rest as it is; odd first signs it with the run's key, so the directory walk is reached.
#include "fuzz_signer.h"
#include "ovutils/ufs/mem_file.h"
#include "patch/container_format.h"
#include "patch/container_reader.h"

#include <vector>

using namespace orvo;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size == 0 || size > 0x7FFFFFFF) return 0;
  const fuzz::fuzz_signer_t& signer = fuzz::fuzz_signer();
  static array_dyn_t<const rsa_public_key_t*> keys;
  if (keys.empty()) keys.push(&signer.public_key());

  std::vector<u8> container(data + 1, data + size);
  if ((data[0] & 1) && container.size() >= patch::container_header_size) signer.sign(container);
  auto_ptr_t<file_t> file(new mem_file_t(container.data(), static_cast<u32>(container.size())));
  patch::container_reader_t reader;
  reader.open(file, nullptr, &keys);
  return 0;
}
