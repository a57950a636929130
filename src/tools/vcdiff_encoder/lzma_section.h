#pragma once
#include "ovcore/types.h"

#include <vector>

namespace orvo::vcdiff {

constexpr u8 secondary_compressor_lzma = 2;

enum class section_compression_t { smaller, not_smaller, failed };

// Secondary compression of one window section with compressor id 2: the section's length as
// a VCDIFF integer, then the start of a fresh .xz stream (stream header, one LZMA2 block
// without integrity check) flushed with LZMA_SYNC_FLUSH and not terminated. Gives smaller only
// when the framed result is shorter than the plain section; failed is logged.
section_compression_t compress_section_lzma(const std::vector<u8>& plain, u32 preset, std::vector<u8>* framed);

} // namespace orvo::vcdiff
