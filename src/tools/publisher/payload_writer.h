#pragma once
#include "ovcore/types.h"

#include <filesystem>
#include <iosfwd>

namespace CryptoPP {
class HashTransformation;
}

namespace orvo::publisher {

// Block payloads, streamed from an input file onto the end of the output. Every byte written
// also goes to `digest`; `written` receives the payload size. The input must hold exactly
// `input_size` bytes.
bool write_stored_payload(std::ostream& output, const std::filesystem::path& input, u64 input_size,
                          CryptoPP::HashTransformation& digest, u64& written);
bool write_xz_payload(std::ostream& output, const std::filesystem::path& input, u64 input_size, u32 preset,
                      CryptoPP::HashTransformation& digest, u64& written);

} // namespace orvo::publisher
