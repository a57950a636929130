#pragma once
#include "tools/publisher/container_open_result.h"

#include <cryptopp/rsa.h>

#include <filesystem>

namespace orvo::publisher {

// Opens a container the way the updater does with `key` as its only public key: header,
// signature over the whole file, then every chunk. The first failure is logged and returned.
container_open_result_t verify_container(const std::filesystem::path& path, const CryptoPP::RSA::PublicKey& key);

} // namespace orvo::publisher
