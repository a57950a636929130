// Opens fuzzed bytes as a container from memory. The first byte picks the mode: even opens the
// rest as it is; odd first signs it with the run's key, so the directory walk is reached.
#include "ovutils/ufs/mem_file.h"
#include "patch/container_format.h"
#include "patch/container_reader.h"
#include "support/test_keys.h"

#include <cryptopp/osrng.h>
#include <cryptopp/pssr.h>
#include <cryptopp/sha.h>

#include <cstring>
#include <vector>

using namespace orvo;

namespace {

void sign_in_place(std::vector<u8>& container, const test::test_key_t& key) {
  std::memcpy(container.data() + 8, key.fingerprint.data(), 20);
  std::memset(container.data() + 156, 0, 512);
  CryptoPP::AutoSeededRandomPool rng;
  CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Signer signer(key.private_key);
  signer.SignMessage(rng, container.data(), container.size(), container.data() + 156);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size == 0 || size > 0x7FFFFFFF) return 0;
  const test::test_key_t& key = test::test_key_4096();
  static array_dyn_t<const rsa_public_key_t*> keys;
  if (keys.empty()) keys.push(&key.der_record);

  std::vector<u8> container(data + 1, data + size);
  if ((data[0] & 1) && container.size() >= patch::container_header_size) sign_in_place(container, key);
  auto_ptr_t<file_t> file(new mem_file_t(container.data(), static_cast<u32>(container.size())));
  patch::container_reader_t reader;
  reader.open(file, nullptr, &keys);
  return 0;
}
