#pragma once
#include "tools/publisher/manifest.h"

#include <cryptopp/rsa.h>

#include <filesystem>

namespace orvo::publisher {

// Writes the manifest's container to `output`, signed with `key` (null: unsigned). Chunks are
// written as LAYO, KEYS, DIFF, META, then FPAT, each kind in manifest order. The file appears
// only when it is complete; a failure leaves no partial container behind.
bool pack_manifest(const manifest_t& manifest, const std::filesystem::path& output,
                   const CryptoPP::RSA::PrivateKey* key);

} // namespace orvo::publisher
