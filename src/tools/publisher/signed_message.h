#pragma once
#include "ovcore/types.h"

#include <iosfwd>

namespace CryptoPP {
class HashTransformation;
}

namespace orvo::publisher {

// Feeds the message a container signature covers: the header with its signature field zeroed,
// then every byte after the header, read in 512 KiB chunks. `size` is the container's size.
bool feed_signed_message(std::istream& container, u64 size, CryptoPP::HashTransformation& sink);

} // namespace orvo::publisher
